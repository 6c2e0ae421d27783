#include "app/Startup.h"

#include "app/MainWindow.h"
#include "app/ParameterPanel.h"
#include "app/PortListFollower.h"
#include "app/SelectionLists.h"
#include "config/NumericText.h"
#include "config/StoreRepair.h"
#include "protocol/OperatorUi.h"
#include "protocol/PortLocator.h"
#include "protocol/PortScan.h"
#include "protocol/ProgramDir.h"
#include "protocol/VbError.h"
#include "protocol/VbNumbers.h"
#include "protocol/led.h"
#include "ui_MainWindow.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/resource.h>
#endif

void restrictProcessForStartup() {
#ifdef Q_OS_LINUX
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(0, &set);
    (void)sched_setaffinity(0, sizeof set, &set);
    // Raising priority needs privileges most desktops do not grant.
    (void)setpriority(PRIO_PROCESS, 0, -10);
#endif
}

bool installQtChinese() {
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QString folders[] = {QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/translations"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString &folder : folders) {
        if (translator->load(QStringLiteral("qtbase_zh_CN"), folder))
            return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}

void Startup::run() {
    MainWindow &w = m_window;
    ScreenConnection screen;
    bool loaded = w.trap([&] {
        w.showPanel(&w.parameters());
        w.fillSelectionLists();
        if (const QString moved = ProgramDir::notice(); !moved.isEmpty())
            w.ui().message(moved, QStringLiteral("提示"));
        // What a kill while writing left is put right before anything is read.
        StoreRepair::run();
        screen = w.loadRegistry();
    });
    if (!loaded) return; // an error up to here ends start-up; the window stays
    // From here on a failing step is skipped and the next one runs.
    w.trap([&] { scanPorts(); });
    PortListFollower::attach(w);
    w.trap([&] { choosePort(screen.Pcode); });
    w.trap([&] { fillConnectionFields(screen); });
    w.trap([&] { w.refreshCalendar(); });
}

void Startup::scanPorts() {
    QComboBox *pchao = m_window.connectionRow().Pchao;
    pchao->clear();
    for (const PortScanEntry &e : ::scanPorts(m_window.device().MSComm1()))
        pchao->addItem(e.text, e.number);
}

void Startup::choosePort(const QString &pcode) {
    QComboBox *pchao = m_window.connectionRow().Pchao;
    const long long wanted = VbNumbers::roundHalfEven(NumericText::value(pcode));
    if (pchao->count() == 0) {
        pchao->setCurrentText(QString());
        return;
    }
    for (int i = 0; i < pchao->count(); ++i) {
        if (PortLocator::numberOfItem(pchao->itemText(i)) == wanted) {
            pchao->setCurrentIndex(i);
            pchao->setCurrentText(QString::number(wanted));
            return;
        }
    }
    pchao->setCurrentText(QString::number(PortLocator::numberOfItem(pchao->itemText(0))));
}

void Startup::fillConnectionFields(const ScreenConnection &s) {
    MainWindow &w = m_window;
    auto number = [](const QString &text) {
        return QString::number(VbNumbers::roundHalfEven(NumericText::value(text)));
    };
    w.connectionRow().Pbtl->setCurrentIndex(baudRatePosition(s.Pbtl));
    w.connectionRow().Pdizhi->setText(number(s.Padr));
    w.parameters().showStartValues(number(s.Pchang), number(s.Pgao),
                                   int(NumericText::value(s.Pcolor)),
                                   int(NumericText::value(s.Pleixing)));
}
