#include "Total.h"

namespace triplay {

kw27::Currency pipeTotal(const kw27::LengthTable& lengths, const std::array<int, 3>& positions) {
    kw27::Currency total;
    for (int position : positions)
        total += lengths.ofPosition(position);
    return total;
}

TotalLook totalLook(kw27::Currency total) {
    if (total > Material)
        return {clRed, 20, QStringLiteral("材料不足のため"), QStringLiteral("製作できません")};
    return {clBlue, 16, QString(), QString()};
}

} // namespace triplay
