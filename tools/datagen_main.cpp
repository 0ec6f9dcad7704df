// Writes the data set (sounds and clips) into the folder given on the command line.
#include "DataSet.h"
#include "ToolMain.h"

int main(int argc, char** argv) {
    return kw27::tools::toolMain(argc, argv, "kw27_datagen", "<Data folder>", 1, 1,
                                 [](const QStringList& args) {
                                     kw27::datagen::writeDataSet(args.at(1));
                                     return 0;
                                 });
}
