#include "app/AddTextDialog.h"

#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"
#include "ui_AddTextDialog.h"
#include "workflows/TextPool.h"

#include <QFile>

AddTextDialog::AddTextDialog(OperatorUi &ui, int width, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::AddTextDialog>()), m_operator(ui), m_width(width) {
    m_ui->setupUi(this);
    m_ui->添加文字->setChecked(true);
    m_ui->Option1_2->setChecked(true);
    connect(m_ui->确定, &QPushButton::clicked, this, [this] {
        if (take()) accept();
    });
    connect(m_ui->取消, &QPushButton::clicked, this, [this] {
        m_ui->List1->clear();
        reject();
    });
}

AddTextDialog::~AddTextDialog() = default;

int AddTextDialog::colour() const {
    return m_ui->Option1_0->isChecked() ? 0 : m_ui->Option1_1->isChecked() ? 1 : 2;
}

QStringList AddTextDialog::lines() const {
    QStringList out;
    for (int i = 0; i < m_ui->List1->count(); ++i)
        out << m_ui->List1->item(i)->text();
    return out;
}

bool AddTextDialog::take() {
    m_ui->RichTextBox1->clear();
    m_ui->List1->clear();
    QString text;
    if (m_ui->添加文字->isChecked()) {
        // A cancelled input box adds nothing.
        if (!m_operator.input(QStringLiteral("请输入更新的文字"), QStringLiteral("输入框"), text))
            text.clear();
    } else {
        const QString path =
            m_operator.openFile(QStringLiteral("txt文件"), QStringLiteral("数据库文件 (*.txt)"));
        // A cancelled dialog leaves no name to open (75); the window stays open.
        const int error = path.isEmpty() ? vberr::PathFileAccessError : vberr::FileNotFound;
        QFile f(path);
        if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) {
            m_operator.message(QStringLiteral("错误号%1").arg(error), QStringLiteral("出现错误"));
            return false;
        }
        text = textpool::fileText(f.readAll());
    }
    m_ui->RichTextBox1->setPlainText(text);
    m_ui->List1->addItems(textpool::cutLines(text, m_width));
    return true;
}
