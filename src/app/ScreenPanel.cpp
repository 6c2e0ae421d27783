#include "app/ScreenPanel.h"

#include "app/MainWindow.h"
#include "app/ParameterPanel.h"
#include "ui_MainWindow.h"
#include "ui_ScreenPanel.h"

#include <QItemSelectionModel>

ScreenPanel::ScreenPanel(MainWindow &window, QWidget *parent)
    : QGroupBox(parent), m_ui(std::make_unique<Ui::ScreenPanel>()), m_window(window),
      m_registry(m_ini, window.ui(), this) {
    m_ui->setupUi(this);
    QListView *list = m_ui->现有屏幕;
    QComboBox *selector = window.connectionRow().总屏号;
    list->setModel(m_registry.screens());
    selector->setModel(m_registry.screens());
    connect(&m_registry, &ScreenRegistry::currentScreenChanged, this, &ScreenPanel::showFields);
    connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_showing && current.isValid()) choose(current.row(), true);
            });
    connect(selector, &QComboBox::activated, this, [this](int p) { choose(p, false); });
    // Both end by selecting a screen, which loads its lists: the lists of
    // the screen left are written first.
    window.bind(m_ui->添加, [this] {
        if (!m_window.saveScreenLists()) return;
        takeFields();
        m_registry.addScreen();
    });
    window.bind(window.connectionRow().屏幕修改, [this] {
        if (!m_window.saveScreenLists()) return;
        takeFields();
        m_registry.saveAndTest();
    });
    window.bind(m_ui->删除, [this] { m_registry.deleteScreen(); });
    m_registry.onConnectionTest = [this] { m_window.parameters().connectionTest(); };
    m_registry.onScreenSelected = [this] { m_window.screenSelected(); };
}

ScreenPanel::~ScreenPanel() = default;

void ScreenPanel::choose(int position, bool fromList) {
    if (position == m_registry.currentPosition()) return;
    // The current screen never changes under a command that waits for it.
    // The lists of the screen left are written first; when they cannot be,
    // the operator stays on it rather than lose them.
    if (!m_window.refuseWhileBusy() && m_window.saveScreenLists()) {
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
    m_window.connectionRow().总屏号->setCurrentIndex(position);
    m_showing = false;
    m_ui->pname->setText(f.pname);
    m_window.showConnection(f);
    m_window.parameters().showFields(f);
}

void ScreenPanel::takeFields() {
    ScreenFields &f = m_registry.fields;
    f.pname = m_ui->pname->text();
    m_window.takeConnection(f);
    m_window.parameters().takeFields(f);
}
