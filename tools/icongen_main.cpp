// Renders the program icon for the desktop's icon theme:
//   kw27_icongen <folder> <name> <size>...
// writes <folder>/<size>x<size>/apps/<name>.png for each size.
#include "Assets.h"
#include "ToolMain.h"

#include <limits>
#include <vector>

int main(int argc, char** argv) {
    return kw27::tools::toolMain(
        argc, argv, "kw27_icongen", "<folder> <name> <size>...", 3,
        std::numeric_limits<qsizetype>::max(), [](const QStringList& args) {
            std::vector<int> sizes;
            for (qsizetype i = 3; i < args.size(); ++i) {
                bool ok = false;
                sizes.push_back(args.at(i).toInt(&ok));
                if (!ok) {
                    std::fprintf(stderr, "kw27_icongen: not a size: %s\n", qPrintable(args.at(i)));
                    return 2;
                }
            }
            kw27::assets::writeIconTheme(args.at(1), args.at(2), sizes);
            return 0;
        });
}
