#include "AccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>

namespace kw27 {

namespace {

// "&File" reads "File"; "A&&B" reads "A&B".
QString withoutAccessMarks(const QString& caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        else if (caption[i] == QLatin1Char('&'))
            continue;
        shown += caption[i];
    }
    return shown;
}

QString captionOf(const QWidget* control) {
    // Buttons of our own that paint themselves carry their text as a "Caption" property.
    const QVariant caption = control->property("Caption");
    if (caption.isValid())
        return caption.toString();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    // A box's caption is the label that stands for it.
    if (const QWidget* parent = control->parentWidget()) {
        for (const QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (label->buddy() == control)
                return label->text();
    }
    return {};
}

bool isControl(const QWidget* widget) {
    return widget->property("Caption").isValid() || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

} // namespace

QString accessibleNameFor(const QWidget* control) {
    const QString caption = withoutAccessMarks(captionOf(control)).trimmed();
    if (!caption.isEmpty())
        return caption;
    // Japanese tooltips are broken over lines only to fit their box.
    QString tip = control->toolTip();
    tip.remove(QLatin1Char('\n'));
    return tip.trimmed();
}

void nameControls(QWidget* root) {
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    for (QWidget* widget : children) {
        // Qt's own helpers (the menu bar's overflow button, say) name themselves.
        if (!isControl(widget) || !widget->accessibleName().isEmpty() ||
            widget->objectName().startsWith(QLatin1String("qt_")))
            continue;
        // A control of no size is a holder the program uses, not one a pupil meets.
        if (widget->width() == 0 || widget->height() == 0)
            continue;
        // A combo box's own line edit is named by the combo box.
        if (qobject_cast<const QComboBox*>(widget->parentWidget()))
            continue;
        widget->setAccessibleName(accessibleNameFor(widget));
    }
}

} // namespace kw27
