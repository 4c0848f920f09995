#pragma once

#include "check/scoring.h"

#include <QMainWindow>

#include <array>

class QLabel;
class QListWidget;
class QPlainTextEdit;

namespace ottavario {

class GridEntry;
class MessageService;
class FileDialogService;

// Form3: opens a saved system and counts its columns with 8, 7 and 6 points
// against the winning column.
class CheckWindow : public QMainWindow {
    Q_OBJECT
public:
    CheckWindow(MessageService* messages, FileDialogService* dialogs, QWidget* parent = nullptr);

    // Text1 as the system's own text, lines ending in CR LF.
    const QString& descriptionText() const { return m_description; }
    const QString& openedPath() const { return m_openedPath; }
    const QString& columnFilePath() const { return m_columnFile; }
    GridEntry* winningEntry(int box) const { return m_winning[box]; }
    // The winning columns of the last check, as listed under the counts.
    QStringList winningLines() const;

    void openSystem();
    void openSystemAt(const QString& path);
    void check();
    // Prospetto vincite of the opened system.
    void requestWins();

signals:
    void closed();
    void winsRequested(const QString& sttPath);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void winningChanged(int box);
    void checkWinningEntry(int box);
    void setDescription(const QString& text);

    MessageService* m_messages;
    FileDialogService* m_dialogs;

    QString m_description;
    QString m_openedPath; // Label4; empty while no system is open
    QString m_columnFile; // the .stg beside it

    QPlainTextEdit* m_text = nullptr; // Text1
    QLabel* m_pathLabel = nullptr; // Label4
    std::array<GridEntry*, kWinningBoxes> m_winning {}; // Text2(1..8)
    std::array<QLabel*, 3> m_results {}; // Label3(0..2)
    QListWidget* m_winners = nullptr;
};

} // namespace ottavario
