// Covers the text panel's preview: the colours by list position, the two
// lines of the text preview, the window-number square, and the square
// hidden for "无".
#include "app/Preview.h"
#include "support/WindowRig.h"
#include "workflows/ScreenLists.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

class PreviewTest : public QObject {
    Q_OBJECT
  private slots:
    void colourPositionsGiveTheirColours() {
        const QList<QColor> colours{Qt::black, Qt::red,     Qt::green, Qt::yellow,
                                    Qt::blue,  Qt::magenta, Qt::cyan,  Qt::white};
        for (int p = 0; p < 8; ++p)
            QCOMPARE(preview::colour(p), colours.at(p));
        QCOMPARE(preview::colour(8), QColor(Qt::black));
        QCOMPARE(preview::backColour(3), QColor(Qt::blue));
        QCOMPARE(preview::backColour(4), QColor(Qt::black));
    }

    void theTextPreviewShowsTwoLinesAtMost() {
        const QString text(40, QChar(0x6B22));
        const QStringList lines = preview::textLines(text, 100);
        QCOMPARE(lines.size(), 2);
        QVERIFY(!lines.at(0).isEmpty());
        QVERIFY(lines.at(0).size() + lines.at(1).size() < text.size());
        QCOMPARE(lines.join(QString()), text.left(lines.at(0).size() + lines.at(1).size()));
    }

    void theWindowNumberSquareIsDrawnOnItsBackground() {
        const QImage square =
            preview::windowNumber(QStringLiteral("\\12"), Qt::blue, Qt::yellow).toImage();
        QCOMPARE(square.size(), QSize(32, 32));
        QCOMPARE(square.pixelColor(0, 0), QColor(Qt::blue));
        bool lit = false;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                lit = lit || square.pixelColor(x, y).red() > 128;
        QVERIFY(lit);
    }

    void aClickIntoTheTextRedrawsThePreviewInTheColoursOfTheMoment() {
        WindowRig r;
        r.w.toolbarAction(MainWindow::Tool::SendMessage);
        r.w.findChild<QRadioButton *>(QStringLiteral("Option2"))->click();
        auto *text = r.w.findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
        text->setPlainText(QStringLiteral("欢迎"));
        r.w.findChild<QComboBox *>(QStringLiteral("combo1"))
            ->setCurrentText(QStringLiteral("红色"));
        const QImage before = r.w.findChild<QLabel *>(QStringLiteral("PicImg"))->pixmap().toImage();
        QTest::mouseClick(text->viewport(), Qt::LeftButton);
        const QImage after = r.w.findChild<QLabel *>(QStringLiteral("PicImg"))->pixmap().toImage();
        // The bottom right dot, beyond the text, is the background.
        QCOMPARE(before.pixelColor(before.width() - 1, 31), QColor(Qt::black));
        QCOMPARE(after.pixelColor(after.width() - 1, 31), QColor(Qt::red));
    }

    void choosingReplacesTheImageListAndCancellingKeepsIt() {
        WindowRig r;
        r.ui.files = {QStringLiteral("/x/a.bmp"), QStringLiteral("/x/b.bmp"), QString()};
        r.click("添加图像");
        r.click("添加图像");
        QCOMPARE(r.w.screenLists().images.stringList(), QStringList{QStringLiteral("/x/b.bmp")});
        r.click("添加图像"); // cancelled
        QCOMPARE(r.w.screenLists().images.stringList(), QStringList{QStringLiteral("/x/b.bmp")});
        QCOMPARE(r.ui.lastMessage(), QStringLiteral("图像不存在"));
    }

    void anImagePathTheListFileCannotHoldIsWarned() {
        WindowRig r;
        r.ui.files = {QStringLiteral("/x/한.bmp")};
        r.click("添加图像");
        QTRY_VERIFY(r.ui.messages().contains(
            ScreenLists::unstorableWarning(QStringLiteral("/x/한.bmp"), QStringLiteral("한"))));
    }

    void noWindowNumberGivesTheWholeWidthToThePicture() {
        WindowRig r;
        r.w.toolbarAction(MainWindow::Tool::SendMessage);
        r.w.findChild<QScrollBar *>(QStringLiteral("VScroll1"))->setValue(0); // "无"
        QCOMPARE(r.w.findChild<QLineEdit *>(QStringLiteral("窗口号"))->text(),
                 QStringLiteral("无"));
        QVERIFY(!r.w.findChild<QLabel *>(QStringLiteral("pic1"))->isVisibleTo(&r.w));
        QCOMPARE(r.w.findChild<QLabel *>(QStringLiteral("PicImg"))->x(), 0);
    }
};

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
