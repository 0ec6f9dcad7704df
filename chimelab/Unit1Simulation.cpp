#include "Unit1.h"

#include "DataPath.h"
#include "DocumentOpener.h"
#include "Fonts.h"
#include "Glyph.h"
#include "KwApplication.h"
#include "Look.h"
#include "MessageBoxes.h"
#include "Picture.h"
#include "ProcessLauncher.h"

#include <QCoreApplication>
#include <QDir>

namespace chimelab {

void TForm1::setUpSimulationPage() {
    simulationPage.Image2->setPixmap(kw27::loadPicture(QStringLiteral(":/assets/chime.png")));
    const QString gothic = QStringLiteral("ＭＳ ゴシック");
    for (QLabel* line : {simulationPage.Label7, simulationPage.Label8, simulationPage.Label10,
                         simulationPage.Label11, simulationPage.Label15}) {
        line->setFont(kw27::pixelFont(gothic, 16, true));
        kw27::setTextColour(line, clWindowText);
        line->adjustSize();
    }

    QPushButton* button = simulationPage.BitBtn1;
    button->setFont(kw27::pixelFont(gothic, 21));
    button->setIcon(kw27::glyphIcon(QStringLiteral(":/assets/lamp.png"), 2));
    kw27::connectHandler(button, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    kw27::connectHandler(ui->HowToUse1, &QAction::triggered, this, &TForm1::HowToUse1Click);
}

void TForm1::BitBtn1Click(QObject*) {
    // The working directory of this moment, not the start directory: the simulator reads its
    // sounds relative to it.
    kw27::ProcessLauncher simulator;
    if (!simulator.start(QStringLiteral("Triplay.exe"), QDir::currentPath())) {
        kw27::showWarning(this, QStringLiteral("Triplay.exeがありません｡"));
        return;
    }
    // Messages already waiting are handled while the window is still up, so that the button
    // is drawn released; then the window gives way to the simulator's until it has closed.
    if (simulator.running()) {
        QCoreApplication::processEvents();
        hide();
        simulator.waitForEnd();
    }
    // Back in front, where the simulator's window was.
    show();
    raise();
    activateWindow();
}

void TForm1::HowToUse1Click(QObject*) {
    // With an empty start directory the folder lies at the root, as the plain joining gives.
    const QString folder = StartDir + QStringLiteral("\\Data\\マニュアル");
    const std::filesystem::path manual =
        kw27::resolveDataPath(folder + QStringLiteral("\\KW-27ヘルプ.html"));
    if (!kw27::openDocument(QString::fromStdString(manual.string())))
        kw27::showWarning(this, QStringLiteral("ブラウザがないか、ヘルプファイルがありません"));
}

} // namespace chimelab
