#include "app/ScreenPanel.h"

#include "app/Controls.h"
#include "app/ScanDialog.h"
#include "ui_ScreenPanel.h"
#include "workflows/ActionContext.h"

#include <QItemSelectionModel>

ScreenPanel::ScreenPanel(ActionContext &context, QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::ScreenPanel>()), m_context(context),
      m_registry(m_ini, context.ui(), this) {
    m_ui->setupUi(this);
    QListView *list = m_ui->现有屏幕;
    list->setModel(m_registry.screens());
    connect(&m_registry, &ScreenRegistry::currentScreenChanged, this, &ScreenPanel::showFields);
    connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_showing && current.isValid()) choose(current.row(), true);
            });
    // Both end by selecting a screen, which loads its lists: the lists of
    // the screen left are written first.
    Controls::bindAction(context, m_ui->添加, [this] {
        if (saveLists && !saveLists()) return;
        takeFields();
        m_registry.addScreen();
    });
    Controls::bindAction(context, m_ui->删除, [this] { m_registry.deleteScreen(); });
    connect(m_ui->扫描, &QPushButton::clicked, this, [this] {
        if (!m_context.refuseWhileBusy()) openScan();
    });
}

ScanDialog *ScreenPanel::openScan() {
    if (!m_scan) {
        // A window of its own beside the main window, which a scan freezes.
        m_scan = new ScanDialog(m_context, window());
        m_scan->registerBoard = [this](const busscan::Board &board, int port, const QString &name) {
            return addFound(board, port, name);
        };
    }
    m_scan->show();
    m_scan->raise();
    m_scan->activateWindow();
    return m_scan;
}

bool ScreenPanel::addFound(const busscan::Board &board, int port, const QString &name) {
    bool added = false;
    m_context.runDeviceAction([&] {
        if (saveLists && !saveLists()) return;
        takeFields();
        ScreenFields &f = m_registry.fields;
        const ScreenFields kept = f;
        f.pname = name;
        f.Pchao = QString::number(port);
        f.Pbtl = QString::number(board.baud);
        f.Pdizhi = QString::number(board.address);
        const int before = m_registry.screenCount();
        m_registry.addScreen();
        added = m_registry.screenCount() > before;
        // A refused add leaves the current screen's fields as they were.
        if (!added) f = kept;
    });
    return added;
}

void ScreenPanel::saveAndTest() {
    if (saveLists && !saveLists()) return;
    takeFields();
    m_registry.saveAndTest();
}

ScreenPanel::~ScreenPanel() = default;

void ScreenPanel::choose(int position, bool fromList) {
    if (position == m_registry.currentPosition()) return;
    // The current screen never changes under a command that waits for it.
    // The lists of the screen left are written first; when they cannot be,
    // the operator stays on it rather than lose them.
    if (!m_context.refuseWhileBusy() && (!saveLists || saveLists())) {
        m_registry.selectScreen(position);
    } else if (fromList) {
        // Not from inside the list's own change of its current row.
        QMetaObject::invokeMethod(
            this, [this] { showFields(m_registry.currentPosition()); }, Qt::QueuedConnection);
    } else {
        showFields(m_registry.currentPosition());
    }
}

ScreenConnection ScreenPanel::load() {
    m_registry.load();
    const ScreenFields &f = m_registry.fields;
    ScreenConnection c;
    c.Pcode = f.Pchao;
    c.Pbtl = f.Pbtl;
    c.Padr = f.Pdizhi;
    c.Pchang = f.Pchang;
    c.Pgao = f.pgao;
    c.Pcolor = QString::number(f.Pcolor);
    c.Pleixing = QString::number(f.Pleixing);
    return c;
}

void ScreenPanel::showFields(int position) {
    const ScreenFields &f = m_registry.fields;
    m_showing = true;
    // Through the selection model, so that the highlight moves with it.
    m_ui->现有屏幕->selectionModel()->setCurrentIndex(m_registry.screens()->index(position),
                                                      QItemSelectionModel::ClearAndSelect);
    m_showing = false;
    m_ui->pname->setText(f.pname);
    emit screenShown(position);
}

void ScreenPanel::takeFields() {
    ScreenFields &f = m_registry.fields;
    f.pname = m_ui->pname->text();
    if (takeOtherFields) takeOtherFields(f);
}
