#pragma once
// The text panel's free texts: "发送信息" stores the message as picture 11
// with its one-entry list, then as picture 2 (with its own effect at the
// address + 512 when "支持动作方式" is ticked) and keeps it in the text file
// of `Text8`; "发送logo" cuts a longer text into ten pictures of 32
// characters and uploads them as a list. `ledctl message|logo` run these.
#include "workflows/Workflow.h"

#include <QString>
#include <QStringList>
#include <functional>

class OperatorUi;
class TextPoolModel;
class led;

namespace textsending {

struct Fields {
    QString text;                               // Text7, or Text24 for the logo
    int colour = 0;                             // the text colour byte
    int effect = 0;                             // item data of Combo8
    QString speed = QStringLiteral("2");        // Text2
    QString stay = QStringLiteral("2");         // Text3
    bool withEffect = false;                    // Check8
    QString pictureField = QStringLiteral("1"); // Text8: the text file the message is kept in
    QString background;                         // the text of combo1, kept with the message
};

// Where a sent message is kept: the store directory (ends in '/'); empty:
// not kept (ledctl). When the kept file is one of the text pool's, `pool`'s
// entry follows it.
workflow::Outcome sendMessage(led &device, OperatorUi &ui, const workflow::Connection &c,
                              const Fields &fields, const QString &storeDirectory,
                              TextPoolModel *pool = nullptr);

// The logo's segments: at most ten of at most 32 characters, the rest dropped.
QStringList logoSegments(const QString &text);
// The pictures 1 to 10 with 100 ms between them (in the event loop, so the
// window stays live), then the list of their entries. A segment of line
// breaks only is skipped: it would be a picture without a character.
workflow::Outcome sendLogo(led &device, OperatorUi &ui, const workflow::Connection &c,
                           const Fields &fields);

} // namespace textsending
