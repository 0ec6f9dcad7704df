#include "PipeWorkshopWindow.h"
#include "SaveFolder.h"
#include "Unit1.h"

namespace chimelab {

void TForm1::PipeWorkshop1Click(QObject*) {
    kw27::workshop::PlanInput start;
    start.lengthsTenthsMm = workshopStartLengths({sheetPage.ComboBox1->currentIndex(),
                                                  sheetPage.ComboBox2->currentIndex(),
                                                  sheetPage.ComboBox3->currentIndex()});
    start.kerfTenthsMm = 20;
    start.date = sheetPage.Edit5->text();
    start.school = sheetPage.Edit2->text();
    start.className = sheetPage.Edit3->text();
    start.name = sheetPage.Edit4->text();
    PipeWorkshopWindow window(start, StartDir.isEmpty() ? QString() : kw27::saveFolder(StartDir),
                              this);
    window.exec();
}

} // namespace chimelab
