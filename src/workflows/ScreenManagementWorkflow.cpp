#include "workflows/ScreenManagementWorkflow.h"

#include "app/MainWindow.h"
#include "app/Startup.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>

namespace {
struct PositionField {
    const char16_t *list;
    int ScreenFields::*field;
};
// The display-property lists a screen's section remembers.
const PositionField kPositions[] = {
    {u"色彩", &ScreenFields::Pcolor},     {u"主控类型", &ScreenFields::Pleixing},
    {u"极性", &ScreenFields::POE},        {u"数据极性", &ScreenFields::PDataSign},
    {u"区内走向", &ScreenFields::PCol_F}, {u"行加减", &ScreenFields::PColRule},
    {u"每区行数", &ScreenFields::PQSign}, {u"扫描方式", &ScreenFields::PScan},
};
} // namespace

ScreenManagementWorkflow::ScreenManagementWorkflow(MainWindow &window)
    : QObject(&window), m_window(window), m_registry(m_ini, window.ui(), this) {
    auto *list = window.control<QListView>(QStringLiteral("现有屏幕"));
    auto *selector = window.control<QComboBox>(QStringLiteral("总屏号"));
    list->setModel(m_registry.screens());
    selector->setModel(m_registry.screens());
    connect(&m_registry, &ScreenRegistry::currentScreenChanged, this,
            &ScreenManagementWorkflow::showFields);
    // The current screen never changes under a command that waits for it.
    connect(list, &QListView::clicked, this, [this](const QModelIndex &i) {
        if (m_window.refuseWhileBusy())
            showFields(m_registry.currentPosition());
        else
            m_registry.selectScreen(i.row());
    });
    connect(selector, &QComboBox::activated, this, [this](int p) {
        if (p == m_registry.currentPosition()) return;
        if (m_window.refuseWhileBusy())
            showFields(m_registry.currentPosition());
        else
            m_registry.selectScreen(p);
    });
    connect(window.control<QPushButton>(QStringLiteral("添加")), &QPushButton::clicked, this,
            [this] {
                m_window.runDeviceAction([this] {
                    takeFields();
                    m_registry.addScreen();
                });
            });
    connect(window.control<QPushButton>(QStringLiteral("屏幕修改")), &QPushButton::clicked, this,
            [this] {
                m_window.runDeviceAction([this] {
                    takeFields();
                    m_registry.saveAndTest();
                });
            });
    connect(window.control<QPushButton>(QStringLiteral("删除")), &QPushButton::clicked, this,
            [this] { m_window.runDeviceAction([this] { m_registry.deleteScreen(); }); });
    window.onLoadRegistry = [this] { return load(); };
}

ScreenConnection ScreenManagementWorkflow::load() {
    m_registry.load();
    const ScreenFields &f = m_registry.fields;
    ScreenConnection c;
    c.Pcode = f.Pchao;
    c.Pbtl = f.Pbtl;
    c.Padr = f.Pdizhi;
    c.TSUM = QString::number(m_registry.DQPTgeshu);
    c.Pchang = f.Pchang;
    c.Pgao = f.pgao;
    c.Pcolor = QString::number(f.Pcolor);
    c.Pleixing = QString::number(f.Pleixing);
    return c;
}

void ScreenManagementWorkflow::showFields(int position) {
    MainWindow &w = m_window;
    const ScreenFields &f = m_registry.fields;
    auto *list = w.control<QListView>(QStringLiteral("现有屏幕"));
    auto *selector = w.control<QComboBox>(QStringLiteral("总屏号"));
    {
        const QSignalBlocker b1(list->selectionModel()), b2(selector);
        list->setCurrentIndex(m_registry.screens()->index(position));
        selector->setCurrentIndex(position);
    }
    w.control<QLineEdit>(QStringLiteral("pname"))->setText(f.pname);
    w.control<QComboBox>(QStringLiteral("Pchao"))->setCurrentText(f.Pchao);
    w.control<QComboBox>(QStringLiteral("Pbtl"))->setCurrentIndex(BaudRate::position(f.Pbtl));
    w.control<QLineEdit>(QStringLiteral("Pdizhi"))->setText(f.Pdizhi);
    w.control<QLineEdit>(QStringLiteral("Pchang"))->setText(f.Pchang);
    w.control<QComboBox>(QStringLiteral("pgao"))->setCurrentText(f.pgao);
    for (const PositionField &p : kPositions) {
        auto *c = w.control<QComboBox>(QString::fromUtf16(p.list));
        if (f.*(p.field) < c->count()) c->setCurrentIndex(f.*(p.field));
    }
    w.setProperty("DQPTgeshu", int(m_registry.DQPTgeshu));
}

void ScreenManagementWorkflow::takeFields() {
    MainWindow &w = m_window;
    ScreenFields &f = m_registry.fields;
    f.pname = w.control<QLineEdit>(QStringLiteral("pname"))->text();
    f.Pchao = w.control<QComboBox>(QStringLiteral("Pchao"))->currentText();
    f.Pbtl = w.baudText();
    f.Pdizhi = w.addressText();
    f.Pchang = w.control<QLineEdit>(QStringLiteral("Pchang"))->text();
    f.pgao = w.control<QComboBox>(QStringLiteral("pgao"))->currentText();
    for (const PositionField &p : kPositions)
        f.*(p.field) = w.control<QComboBox>(QString::fromUtf16(p.list))->currentIndex();
}
