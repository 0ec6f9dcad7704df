// Renders the programs' pictures as PNG files into the folder given on the command line.
#include "Assets.h"
#include "ToolMain.h"

int main(int argc, char** argv) {
    return kw27::tools::toolMain(argc, argv, "kw27_assetgen", "<folder>", 1, 1,
                                 [](const QStringList& args) {
                                     kw27::assets::writeAssets(args.at(1));
                                     return 0;
                                 });
}
