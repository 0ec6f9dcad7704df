#pragma once

#include "Plan.h"

// A pupil's chime: ド ミ ソ with 2 mm cuts, and the sheet page's date, school, class and name.
inline kw27::workshop::PlanInput doMiSoPlan() {
    kw27::workshop::PlanInput in;
    in.lengthsTenthsMm = {1860, 1650, 1530};
    in.kerfTenthsMm = 20;
    in.date = QStringLiteral("2024年 4月 9日");
    in.school = QStringLiteral("　みどり中学校");
    in.className = QStringLiteral("　1学年　2組");
    in.name = QStringLiteral("山田花子");
    return in;
}
