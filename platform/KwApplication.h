#pragma once

#include <QApplication>

// The programs' application object: sets up the Japanese fonts and Qt's Japanese dialog texts,
// and catches the programs' own exceptions escaping an event handler, showing the general
// error report and carrying on with the next input.
class KwApplication : public QApplication {
    Q_OBJECT
public:
    KwApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
