#pragma once
// The screens registered in ledfile.ini and the current screen. Holds the
// screen list that `现有屏幕` and `总屏号` both show, fills the window's fields
// (ScreenFields) on every selection and stores them on add and save. Talks to
// the operator only through OperatorUi; each operation runs under an error
// trap that shows one error number in status panel 5.
#include "config/CIniFile.h"
#include "config/ScreenFields.h"

#include <QObject>
#include <QStringListModel>
#include <functional>

class OperatorUi;

class ScreenRegistry : public QObject {
    Q_OBJECT
  public:
    ScreenRegistry(CIniFile &ini, OperatorUi &ui, QObject *parent = nullptr);

    // The window's connection and screen fields: filled by a selection, read
    // by add and save.
    ScreenFields fields;
    // Number of the current screen (0 before load), its text count, and its
    // store directory (ends in '/'; empty when it cannot be made).
    qint16 DQPSign = 0;
    qint16 DQPTgeshu = 0;
    QString MapSavePath;

    // Called at the end of a selection: refill the text pool and load the
    // screen's list files. May raise VbError; the operation's trap reports it.
    std::function<void()> onScreenSelected;
    // Called at the end of add and save: the connection test. May raise VbError.
    std::function<void()> onConnectionTest;

    // One entry per screen, entry i - 1 is screen i; `现有屏幕` and `总屏号` show it.
    QStringListModel *screens() { return &m_screens; }
    QStringList names() const { return m_screens.stringList(); }
    int screenCount() const { return int(m_screens.stringList().size()); }
    // 0-based position of the current screen, -1 before load.
    int currentPosition() const { return m_current; }
    QString currentSection() const;
    CIniFile &ini() { return m_ini; }

    // Each returns true when it ran to its end without an error.
    // Points the CIniFile at ledfile.ini in the program directory, creates the
    // file on first start, fills the list and selects the stored current screen.
    bool load();
    // The screen at `position` becomes current; its keys fill `fields`.
    bool selectScreen(int position);
    // A new screen from `fields`, appended and made current; then the connection test.
    bool addScreen();
    // Stores `fields` for the current screen; then the connection test.
    bool saveAndTest();
    // Removes the current screen; the following screens move down one number
    // with all their keys, and the screen before it becomes current.
    bool deleteScreen();

  signals:
    // `fields` now hold the screen at `position`; select it in both views.
    void currentScreenChanged(int position);

  private:
    enum class Origin { Load, Operator };
    bool trapped(const std::function<void()> &operation);
    void noteError(int number);
    void loadRegistry();
    void select(int position, Origin origin);
    void fillFields(const QString &section);
    void add();
    void save();
    void remove();
    // Duplicate and name checks of add and save; false after telling the operator.
    bool acceptFields(int ownNumber);
    QList<CIniFile::Write> registryWrites(const QString &section, bool forAdd) const;
    void edit(const std::function<void(IniDocument &)> &change);
    // Tells the operator in words, before anything changes, that ledfile.ini
    // cannot take the change; raises the refusal's number for the trap.
    void requireWritable(const QString &consequence);

    CIniFile &m_ini;
    OperatorUi &m_ui;
    QStringListModel m_screens;
    int m_current = -1;
    int m_pendingError = 0;
    bool m_toldStoreProblem = false;
};
