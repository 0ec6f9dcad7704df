#include "TriplayProgram.h"

#include "KwApplication.h"
#include "KwError.h"
#include "MessageBoxes.h"
#include "Unit2.h"

int runTriplay(int& argc, char** argv) {
    KwApplication app(argc, argv);
    try {
        triplay::TForm1 Form1;
        Form1.show();
        const int code = app.exec();
        // A sound device that failed to open left the loop: its report ends the program.
        Form1.FinishLoading();
        return code;
    } catch (const EKwError& error) {
        kw27::showErrorReport(error.message());
        return 1;
    }
}
