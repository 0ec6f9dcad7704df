#include "SheetBuilder.h"

#include <QRegularExpression>

namespace kw27 {

QStringList paragraphsOf(const QString& line) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|[\r\n\u2028\u2029]"));
    return line.split(lineBreak);
}

QStringList buildSheet(const SheetFields& fields) {
    const QString blank;
    const QString appended[] = {
        blank,
        fields.date,
        blank,
        fields.school,
        blank,
        fields.gradeClass,
        blank,
        fields.name,
        blank,
        blank,
        QStringLiteral("パイプ1　") + fields.pipe1,
        blank,
        QStringLiteral("パイプ2　") + fields.pipe2,
        blank,
        QStringLiteral("パイプ3　") + fields.pipe3,
        blank,
        QStringLiteral("選択したパイプの長さの合計は") + fields.total + QStringLiteral("cmです"),
        blank,
        blank,
        fields.memo,
    };
    QStringList sheet;
    for (const QString& line : appended)
        sheet += paragraphsOf(line);
    return sheet;
}

} // namespace kw27
