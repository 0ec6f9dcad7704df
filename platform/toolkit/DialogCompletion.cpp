#include "DialogCompletion.h"

#include <QCompleter>
#include <QDialog>
#include <QEvent>
#include <QPointer>

#include <utility>
#include <vector>

namespace kw27 {

namespace {

// While the dialog is hidden its completers serve no box: a completer without one neither
// shows its list nor opens it when a folder has been read.
class CompletionTie : public QObject {
public:
    explicit CompletionTie(QDialog* dialog) : QObject(dialog), dialog_(dialog) {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != dialog_)
            return false;
        if (event->type() == QEvent::Hide)
            detach();
        else if (event->type() == QEvent::Show)
            attach();
        return false;
    }

private:
    void detach() {
        const QList<QCompleter*> completers = dialog_->findChildren<QCompleter*>();
        for (QCompleter* completer : completers) {
            if (QWidget* box = completer->widget()) {
                served_.emplace_back(completer, box);
                completer->setWidget(nullptr); // closes the list
            }
        }
    }

    void attach() {
        for (auto& [completer, box] : served_)
            if (completer && box)
                completer->setWidget(box);
        served_.clear();
    }

    QDialog* dialog_;
    std::vector<std::pair<QPointer<QCompleter>, QPointer<QWidget>>> served_;
};

} // namespace

void closeCompletionWithDialog(QDialog* dialog) {
    new CompletionTie(dialog);
}

} // namespace kw27
