#pragma once
// The whole window, started as at program start in a temporary program
// directory, with its workflows, a recording operator and a scripted port
// answering like board 1 on port 1. Only GUI test folders include this.
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "protocol/led.h"
#include "support/FakePort.h"
#include "support/RecordingOperator.h"
#include "support/TempProgramDir.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

struct WindowRig {
    TempProgramDir dir;
    MainWindow w;
    RecordingOperator ui;
    FakePort *port = nullptr;
    WindowRig() {
        w.setOperator(&ui);
        Startup(w).run();
        auto p = std::make_unique<FakePort>();
        port = p.get();
        port->onWrite = answerLikeBoard;
        w.device().setPort(std::move(p));
        w.findChild<QComboBox *>(QStringLiteral("Pchao"))->setCurrentText(QStringLiteral("1"));
        type("Pdizhi", QStringLiteral("1"));
    }
    void click(const char *name) { w.findChild<QPushButton *>(QString::fromUtf8(name))->click(); }
    void type(const char *name, const QString &text) {
        w.findChild<QLineEdit *>(QString::fromUtf8(name))->setText(text);
    }
};
