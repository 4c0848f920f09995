#pragma once

#include "print/print_service.h"
#include "print/slip_grid.h"
#include "print/tabulation_document.h"

#include <QMainWindow>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QScrollBar;

namespace ottavario {
class MessageService;
class FileDialogService;
} // namespace ottavario

namespace ottavario::print {

class SlipPicture;

struct PrintWindowServices {
    MessageService* messages = nullptr;
    FileDialogService* dialogs = nullptr;
    PrintService* printer = nullptr; // outlives the window: its set-up serves all printing
};

// Form2: opens a saved system to print, calibrates the printer to the slip,
// prints slips and the tabulation. Runs beside the main window; reads the
// settings file afresh each time it is created.
class PrintWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit PrintWindow(PrintWindowServices services, QWidget* parent = nullptr);
    ~PrintWindow() override;

    const Calibration& calibration() const { return m_calibration; }
    // The column file of the opened system, as Label4 shows it; empty while none.
    const QString& systemPath() const { return m_systemPath; }
    qint64 slipCount() const { return m_slipCount; }
    // Price of one column in lire, settings value 10, as text.
    const QString& columnPrice() const { return m_columnPrice; }

    using TabulationLayout = print::TabulationLayout;
    TabulationLayout tabulationLayout() const;
    int copies() const;

    // Applica: values 12 and 13 of the settings file; false, after telling
    // the user why, when the file cannot be rewritten.
    bool storeOffsets();
    void testPrint(); // Command4
    void openSystem(); // Command5
    void setUpPrinter(); // impo
    void printSlips(); // Command2, stampa
    void printTabulation(); // Command3, tabu

    // What the command buttons print, for the preview and the PDF file.
    enum class PrintJob { Slips, Tabulation, TestPrint };
    // The pages the job's command would print, in the print preview.
    void previewJob(PrintJob job);
    // The job's pages as a PDF file chosen by the user, as a print to a file.
    void saveAsPdf(PrintJob job);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildCalibrationFrame();
    QWidget* buildSlipFrame();
    QWidget* buildTabulationFrame();
    void buildMenu();
    void load();

    void verticalMoved(int value);
    void horizontalMoved(int value);
    // The job's pages, its copies included, or nothing after telling the user
    // why it cannot print.
    std::optional<PageSource> pagesOf(PrintJob job);
    void send(const PrintDocument& document);
    // A failure, or the file and pages a print to a file wrote.
    void report(const PrintOutcome& outcome);
    void refuse(const QString& title, const QString& text);

    PrintWindowServices m_services;
    Calibration m_calibration;
    QString m_systemPath;
    qint64 m_slipCount = 0;
    QString m_columnPrice;

    QLabel* m_pathLabel = nullptr; // Label4
    SlipPicture* m_picture = nullptr; // Image1
    QScrollBar* m_verticalBar = nullptr; // VScroll1
    QScrollBar* m_horizontalBar = nullptr; // HScroll1
    QLabel* m_verticalCaption = nullptr; // Label3(0)
    QLabel* m_horizontalCaption = nullptr; // Label3(1)
    QCheckBox* m_firstColumnOnly = nullptr; // Check2
    QCheckBox* m_saveOnClose = nullptr; // Check1
    QComboBox* m_firstSlip = nullptr; // Combo1
    QComboBox* m_lastSlip = nullptr; // Combo2
    QCheckBox* m_nameLine = nullptr; // Check3
    QCheckBox* m_informationSlip = nullptr; // Check4
    std::array<QRadioButton*, 3> m_layouts {}; // Option1(0), (1), (2)
    QComboBox* m_copies = nullptr; // Combo3
};

} // namespace ottavario::print
