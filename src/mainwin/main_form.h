#pragma once

#include "core/grid.h"

#include <QList>

#include <array>

class QAbstractItemModel;
class QAction;
class QCheckBox;
class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;
class QToolButton;
class QWidget;

namespace ottavario {

class GridEntry;

// The controls of the main window (Form1), laid out, named and in their tab
// order. A command button triggers its menu item; what the items do is the
// window's business.
struct MainForm {
    std::array<std::array<GridEntry*, kEntries>, kBoxes> entries {}; // Text1(0) to Text8(4)
    // Option1(0..3): Sette, Sei, Cinque punti, Integrale.
    std::array<QRadioButton*, 4> options {};
    QCheckBox* optimised = nullptr; // Check1
    QLabel* combinations = nullptr; // Label2
    QLabel* price = nullptr; // Label4
    QLabel* euro = nullptr; // Label5
    QLabel* reducedColumns = nullptr; // Label3
    QLabel* reducedPrice = nullptr; // Label6
    QLabel* reducedEuro = nullptr; // Label7
    QLabel* systemName = nullptr; // Label8
    QLabel* guarantee = nullptr; // Label9: the guarantee checked after the calculation
    QLabel* conditions = nullptr; // Label10: the count of the columns in play
    QTableView* preview = nullptr; // List1
    QProgressBar* progress = nullptr; // ProgressBar1
    QPushButton* quitButton = nullptr; // Command4
    QToolButton* printButton = nullptr; // Command3, no menu item
    QToolButton* checkButton = nullptr; // Command7, no menu item
    // What a calculation disables: every command but the quit button.
    QWidget* commandRow = nullptr;
    QWidget* gridFrame = nullptr;
    QWidget* typeFrame = nullptr;

    // The menu items, by their names.
    struct Actions {
        QAction* nuovo = nullptr;
        QAction* apri = nullptr;
        QAction* calcolo = nullptr;
        QAction* condizioni = nullptr;
        QAction* vincite = nullptr; // disabled until columns are verified; Command8 follows it
        QAction* salva = nullptr;
        QAction* importa = nullptr;
        QAction* fine = nullptr;
        QAction* inserimento = nullptr;
        QAction* info = nullptr;
    } actions;

    // Builds the controls into `window`, its central widget and its menu bar;
    // the preview shows `previewModel`.
    void build(QMainWindow* window, QAbstractItemModel* previewModel);

    // Command4 when it ends the work, rather than a search.
    static QString quitCaption();
    static QString quitTooltip();

private:
    QWidget* buildCommandRow(QWidget* parent);
    QWidget* buildGrid(QWidget* parent);
    QWidget* buildTypeChoice(QWidget* parent);
    QWidget* buildPreview(QWidget* parent, QAbstractItemModel* model);
    void buildMenus(QMainWindow* window);
    void buildTabOrder(QMainWindow* window);

    QList<QToolButton*> m_commandButtons;
};

} // namespace ottavario
