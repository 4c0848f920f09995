#include "core/data_folder.h"
#include "engine/column_file.h"
#include "page_ink.h"
#include "print/flow_pagination.h"
#include "print/logo_picture.h"
#include "print/print_window.h"
#include "print/tabulation_document.h"
#include "recording_print_service.h"
#include "settings/settings_file.h"
#include "support/recording_services.h"
#include "systems/description_file.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace ottavario;
using namespace ottavario::print;

namespace {

PrintFont face(double points, bool bold = false) { return { tabulationFamily(), points, bold }; }

FlowDocument flowOf(const QList<FlowLine>& lines)
{
    FlowDocument flow;
    flow.name = QStringLiteral("prova");
    flow.family = tabulationFamily();
    flow.lines = lines;
    return flow;
}

// Column r (from 0) of a listing that mixes cells of one and two digits.
std::vector<ColumnMask> columns(qsizetype n)
{
    std::vector<ColumnMask> masks;
    for (qsizetype r = 0; r < n; ++r) {
        ColumnNumbers numbers {};
        for (int k = 0; k < kColumnSize; ++k)
            numbers[k] = int((r * 7 + k * 4) % 32) + 1;
        std::sort(numbers.begin(), numbers.end());
        masks.push_back(maskOf(numbers));
    }
    return masks;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A saved pair of the given columns; the column file's path.
QString saveSystem(const QString& folder, const QString& name, qsizetype count, bool description)
{
    const QString stg = folder + u'/' + name + QStringLiteral(".stg");
    if (!writeFile(stg, formatColumnMasks(columns(count))))
        return {};
    if (description) {
        Grid grid;
        for (int k = 0; k < kBoxes; ++k)
            grid.entries[k][0] = QString::number(k + 1);
        if (!writeFile(folder + u'/' + name + QStringLiteral(".stt"),
                formatDescription(grid, SystemType::Integrale)))
            return {};
    }
    return stg;
}

struct Word {
    int page;
    QRectF box;
    QString text;
};

// Every word of a PDF with its box in points from the paper's corner.
QList<Word> wordsOf(const QString& path)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
        { QStringLiteral("-bbox"), path, QStringLiteral("-") });
    process.waitForFinished(60000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    QList<Word> words;
    int page = 0;
    static const QRegularExpression pattern(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)<"));
    for (const auto& match : pattern.globalMatch(html)) {
        if (match.captured(0) == QStringLiteral("<page ")) {
            ++page;
            continue;
        }
        const QPointF from(match.captured(1).toDouble(), match.captured(2).toDouble());
        const QPointF to(match.captured(3).toDouble(), match.captured(4).toDouble());
        words.append({ page, QRectF(from, to), match.captured(5) });
    }
    return words;
}

bool isNumber(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{1,2}$"));
    return digits.match(text).hasMatch();
}

}

class TestTabulationPrinting : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;
    testing::RecordingMessageService m_messages;
    testing::ScriptedFileDialogs m_dialogs;
    testing::RecordingPrintService m_printer;
    std::unique_ptr<PrintWindow> m_window;

    void openWindowWith(const QString& stg)
    {
        m_window = std::make_unique<PrintWindow>(
            PrintWindowServices { &m_messages, &m_dialogs, &m_printer });
        m_dialogs.answers = QStringList { stg };
        m_window->findChild<QToolButton*>(QStringLiteral("Command5"))->click();
        QCOMPARE(m_window->systemPath(), stg);
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        if (QFontInfo(printerFont(face(12))).family() != tabulationFamily())
            QSKIP("Liberation Sans (fonts-liberation2) is not installed");
    }

    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("OTTAVARIO_HOME", m_home->path().toLocal8Bit());
        QVERIFY(QDir().mkpath(systemsFolder()));
        QVERIFY(settings::writeAll(settingsPath(), settings::defaultValues()));
        m_messages.shown.clear();
        m_dialogs.answers.clear();
        m_printer.printed.clear();
    }

    void cleanup()
    {
        m_window.reset();
        m_home.reset();
        qunsetenv("OTTAVARIO_HOME");
    }

    void lineHeightIsTheFacesLineSpacingInTwips_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::newRow("title") << 36.0 << true;
        QTest::newRow("prospectus") << 12.0 << false;
        QTest::newRow("rules and credit") << 8.0 << false;
        QTest::newRow("columns") << 7.0 << false;
    }

    void lineHeightIsTheFacesLineSpacingInTwips()
    {
        QFETCH(double, points);
        QFETCH(bool, bold);
        const double height = lineHeight(face(points, bold));
        // The face's line spacing is 1.15 of its size; a point is 20 twips.
        QVERIFY2(qAbs(height - points * 20 * 1.149) < points * 20 * 0.03,
            qPrintable(QString::number(height)));
    }

    void linesStandOneLineHeightOfTheirSizeApart()
    {
        const QList<FlowLine> lines
            = { { "a", 36, true }, { "b", 12 }, { "c", 8 }, { "d", 7 }, { "e", 12 } };
        const PrintDocument document = paginate(flowOf(lines), 16000.0);
        QCOMPARE(document.pages.size(), 1);
        const QList<PrintItem> items = document.pages[0].items;
        QCOMPARE(items.size(), lines.size());
        double top = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QCOMPARE(items[i].text, lines[i].text);
            QCOMPARE(items[i].position, QPoint(0, qRound(top)));
            QCOMPARE(items[i].font, face(lines[i].points, lines[i].bold));
            top += lineHeight(face(lines[i].points, lines[i].bold));
        }
        QCOMPARE(document.name, QStringLiteral("prova"));
    }

    void aLineThatDoesNotFitStartsTheNextPage_data()
    {
        QTest::addColumn<double>("linesOfRoom"); // page height in 12 point lines
        QTest::addColumn<QList<int>>("linesPerPage");
        QTest::newRow("three") << 3.001 << QList<int> { 3, 3, 1 };
        QTest::newRow("a little short of three") << 2.99 << QList<int> { 2, 2, 2, 1 };
        QTest::newRow("less than one: one a page") << 0.5 << QList<int> { 1, 1, 1, 1, 1, 1, 1 };
    }

    void aLineThatDoesNotFitStartsTheNextPage()
    {
        QFETCH(double, linesOfRoom);
        QFETCH(QList<int>, linesPerPage);
        const double height = lineHeight(face(12));
        const PrintDocument document
            = paginate(flowOf(QList<FlowLine>(7, { "x", 12 })), height * linesOfRoom);
        QList<int> found;
        for (const PrintPage& page : document.pages) {
            found << int(page.items.size());
            QCOMPARE(page.items.first().position, QPoint(0, 0));
        }
        QCOMPARE(found, linesPerPage);
    }

    void linesKeptTogetherMoveToTheNextPageUnlessTheyNeverFit()
    {
        const double height = lineHeight(face(12));
        QList<FlowLine> lines = { { "a", 12 }, { "b", 12 } };
        lines << FlowLine { "k1", 12, false, true } << FlowLine { "k2", 12, false, true }
              << FlowLine { "k3", 12 } << FlowLine { "z", 12 };
        auto textsOf = [](const PrintDocument& document) {
            QList<QStringList> pages;
            for (const PrintPage& page : document.pages) {
                pages.append(QStringList());
                for (const PrintItem& item : page.items)
                    pages.last() << item.text;
            }
            return pages;
        };
        QCOMPARE(textsOf(paginate(flowOf(lines), height * 4.001)),
            (QList<QStringList> { { "a", "b" }, { "k1", "k2", "k3", "z" } }));
        // Three lines kept together on pages of two: they part as they must.
        QCOMPARE(textsOf(paginate(flowOf(lines), height * 2.001)),
            (QList<QStringList> { { "a", "b" }, { "k1", "k2" }, { "k3", "z" } }));
    }

    void theOverlayGoesOnTheFirstPageOnly()
    {
        FlowDocument flow = flowOf(QList<FlowLine>(5, { "x", 12 }));
        flow.overlay.append({ ItemKind::Picture, kLogoPosition, logoPictureName(), {}, {} });
        flow.fontAfter = face(7);
        const PrintDocument document = paginate(flow, lineHeight(face(12)) * 2.001);
        QCOMPARE(document.pages.size(), 3);
        QCOMPARE(document.pages[0].itemsOf(ItemKind::Picture).size(), 1);
        QCOMPARE(document.pages[0].items.first().position, QPoint(7500, 550));
        QCOMPARE(document.pages[1].itemsOf(ItemKind::Picture).size(), 0);
        // The picture does not push the lines down.
        QCOMPARE(document.pages[0].itemsOf(ItemKind::Text).first().position, QPoint(0, 0));
        QCOMPARE(document.fontAfter, face(7));
        QVERIFY(paginate(flowOf({}), 1000.0).pages.isEmpty());
    }

    void copiesRepeatTheWholeDocument_data()
    {
        QTest::addColumn<int>("copies");
        QTest::newRow("one") << 1;
        QTest::newRow("three") << 3;
        QTest::newRow("a hundred") << 100;
    }

    void copiesRepeatTheWholeDocument()
    {
        QFETCH(int, copies);
        const PrintDocument once
            = paginate(layOutTabulation(QStringLiteral("x"), TabulationLayout::ProspectusAndColumns,
                           {}, columns(400), 800),
                defaultPageLayout());
        QCOMPARE(once.pages.size(), 2);
        const PrintDocument repeated = withCopies(once, copies);
        QCOMPARE(repeated.pages.size(), 2 * copies);
        for (int copy = 0; copy < copies; ++copy) {
            QCOMPARE(repeated.pages[2 * copy].items, once.pages[0].items);
            QCOMPARE(repeated.pages[2 * copy + 1].items, once.pages[1].items);
        }
    }

    void aBlockOfTheListingFitsTheWidthOfAnA4Page()
    {
        const FlowDocument flow
            = layOutTabulation(QStringLiteral("x"), TabulationLayout::Columns, {}, columns(45), 0);
        const QFontMetricsF metrics(printerFont(face(7)));
        const double width = defaultPageLayout().paintRect(QPageLayout::Point).width() * 20;
        QList<double> firstEnds;
        for (int k = 0; k < kColumnSize; ++k) {
            const QString line = flow.lines[5 + k].text;
            QVERIFY(metrics.horizontalAdvance(line) < width);
            // Where each cell ends, measured in the face itself.
            QList<double> ends;
            for (qsizetype i = 0; i < line.size(); ++i)
                if (line[i] != u' ' && (i + 1 == line.size() || line[i + 1] == u' '))
                    ends << metrics.horizontalAdvance(line.left(i + 1));
            QCOMPARE(ends.size(), kBlockColumns);
            if (firstEnds.isEmpty())
                firstEnds = ends;
            for (int c = 0; c < kBlockColumns; ++c)
                // A digit is two spaces and 1/2048 of the size wide: well under
                // an eighth of a digit over a whole line.
                QVERIFY2(qAbs(ends[c] - firstEnds[c]) < metrics.horizontalAdvance(u'0') / 8,
                    qPrintable(QStringLiteral("box %1 cell %2").arg(k + 1).arg(c + 1)));
        }
    }

    void theLogoIsDrawnWithoutBeingHandedToTheRenderer()
    {
        QCOMPARE(logoPicture().size(), QSize(114, 40));
        QCOMPARE(programPicture(QStringLiteral("Image2")).size(), QSize(114, 40));
        QVERIFY(programPicture(QStringLiteral("Image9")).isNull());
        PrintPage page;
        page.addPicture(kLogoPosition, logoPictureName());
        // 1 pixel for 10 twips: the logo covers 7500-9210 across, 550-1150 down.
        const QRect ink = testing::inkOf(page, QSize(1000, 200));
        QVERIFY(!ink.isEmpty());
        QVERIFY2(QRect(750, 55, 171, 60).contains(ink),
            qPrintable(QStringLiteral("%1 %2 %3 %4")
                           .arg(ink.x())
                           .arg(ink.y())
                           .arg(ink.width())
                           .arg(ink.height())));
    }

    void thePdfShowsTheCellsInStraightColumnsOnTheA4Page_data()
    {
        QTest::addColumn<TabulationLayout>("layout");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("blocks");
        QTest::newRow("Prospetto") << TabulationLayout::Prospectus << 1 << 0;
        QTest::newRow("Prospetto e colonne") << TabulationLayout::ProspectusAndColumns << 2 << 9;
        QTest::newRow("Colonne") << TabulationLayout::Columns << 1 << 9;
    }

    void thePdfShowsTheCellsInStraightColumnsOnTheA4Page()
    {
        QFETCH(TabulationLayout, layout);
        QFETCH(int, pages);
        QFETCH(int, blocks);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        const QString stg = saveSystem(systemsFolder(), QStringLiteral("quattrocento"), 400, true);
        const auto flow = tabulationDocument(stg, layout, QStringLiteral("800"));
        QVERIFY(flow);
        const QString pdf = m_home->filePath(QStringLiteral("tabulato.pdf"));
        QVERIFY(renderFlowToPdfFile(pdf, *flow));

        // Rows of cells: lines of the PDF with numbers only, grouped by page and height.
        QMap<std::pair<int, int>, QList<QRectF>> rows;
        int lastPage = 0;
        for (const Word& word : wordsOf(pdf)) {
            lastPage = std::max(lastPage, word.page);
            if (isNumber(word.text))
                rows[{ word.page, qRound(word.box.top() * 10) }] << word.box;
        }
        QCOMPARE(lastPage, pages);
        QList<QList<QRectF>> lines;
        for (const auto& row : rows)
            if (row.size() >= 10)
                lines << row;
        QCOMPARE(lines.size(), blocks * kColumnSize);
        for (qsizetype first = 0; first < lines.size(); first += kColumnSize) {
            for (qsizetype k = first; k < first + kColumnSize; ++k) {
                QCOMPARE(lines[k].size(), lines[first].size());
                for (qsizetype c = 0; c < lines[k].size(); ++c)
                    QVERIFY2(qAbs(lines[k][c].right() - lines[first][c].right()) < 0.5,
                        qPrintable(QStringLiteral("row %1 cell %2").arg(k).arg(c + 1)));
                // The 45th cell lies inside the printable area of the A4 page.
                QVERIFY(lines[k].last().right() < 595.28 - 10);
                // The rows of a block stay on one page and follow each other.
                if (k > first)
                    QVERIFY(lines[k].first().top() > lines[k - 1].first().top());
            }
        }
        if (blocks)
            QCOMPARE(lines.first().size(), kBlockColumns);
    }

    // Texts laid out with blanks in a proportional face start wherever the
    // face puts them; the fields to fill in stand in two columns, and no rule
    // runs past the printable width.
    void theProspectusStandsInColumnsWithinTheA4Page()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        const QString stg = saveSystem(systemsFolder(), QStringLiteral("campi"), 50, true);
        const auto flow = tabulationDocument(
            stg, TabulationLayout::ProspectusAndColumns, QStringLiteral("800"));
        QVERIFY(flow);
        const QString pdf = m_home->filePath(QStringLiteral("prospetto.pdf"));
        QVERIFY(renderFlowToPdfFile(pdf, *flow));
        const double rightEdge = defaultPageLayout().paintRect(QPageLayout::Point).right();
        QMap<QString, double> starts;
        int rules = 0;
        for (const Word& word : wordsOf(pdf)) {
            QVERIFY2(word.box.right() <= rightEdge + 0.5, qPrintable(word.text));
            rules += word.text.startsWith(QStringLiteral("_____________________"));
            const bool field = word.box.left() > 100;
            if (field
                && (QStringList { "Timbro", "Quota", "Nome", "Prezzo", "Concorso" }.contains(
                        word.text)
                    || word.text == QString(18, u'_')))
                starts[word.text] = word.box.left();
        }
        QCOMPARE(starts.size(), 6);
        QCOMPARE(rules, 5); // two short rules, then the three of two blocks
        for (const QString& first : QStringList { "Quota", "Nome", QString(18, u'_') })
            QCOMPARE(qRound(starts[first] * 10), qRound(starts[QStringLiteral("Timbro")] * 10));
        QCOMPARE(qRound(starts[QStringLiteral("Concorso")] * 10),
            qRound(starts[QStringLiteral("Prezzo")] * 10));
        QVERIFY(starts[QStringLiteral("Prezzo")] > starts[QStringLiteral("Timbro")]);
    }

    void theWindowPrintsItsLayoutAndCopies_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("Prospetto") << "Option1(0)" << 1 << creditLine();
        QTest::newRow("Prospetto e colonne, two copies") << "Option1(2)" << 2 << QString();
        QTest::newRow("Colonne, three copies") << "Option1(1)" << 3 << QString();
    }

    void theWindowPrintsItsLayoutAndCopies()
    {
        QFETCH(QString, option);
        QFETCH(int, copies);
        QFETCH(QString, lastLine);
        const QString stg = saveSystem(systemsFolder(), QStringLiteral("prova"), 46, true);
        openWindowWith(stg);
        m_window->findChild<QRadioButton*>(option)->click();
        m_window->findChild<QComboBox*>(QStringLiteral("Combo3"))->setCurrentIndex(copies - 1);
        m_window->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        QCOMPARE(m_messages.shown.size(), 0);
        QCOMPARE(m_printer.printed.size(), 1);

        const auto flow = tabulationDocument(stg, m_window->tabulationLayout(), "800");
        QVERIFY(flow);
        const PrintDocument expected = withCopies(paginate(*flow, m_printer.pageLayout()), copies);
        const PrintDocument& printed = m_printer.printed[0];
        QCOMPARE(printed.pages.size(), expected.pages.size());
        QCOMPARE(printed.pages.size(), copies);
        for (qsizetype i = 0; i < printed.pages.size(); ++i)
            QCOMPARE(printed.pages[i].items, expected.pages[i].items);
        const QList<PrintItem> texts = printed.pages[0].itemsOf(ItemKind::Text);
        QCOMPARE(texts[3].text, QStringLiteral("Nome sistema prova"));
        if (!lastLine.isEmpty())
            QCOMPARE(texts.last().text, lastLine);
        QCOMPARE(printed.name, QStringLiteral("Tabulato prova"));
    }

    void theMenuItemPrintsTheSameTabulation()
    {
        openWindowWith(saveSystem(systemsFolder(), QStringLiteral("prova"), 3, true));
        m_window->findChild<QAction*>(QStringLiteral("tabu"))->trigger();
        m_window->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        QCOMPARE(m_printer.printed.size(), 2);
        QCOMPARE(m_printer.printed[0].pages[0].items, m_printer.printed[1].pages[0].items);
    }

    void aMissingDescriptionStopsTheProspectusButNotTheListing_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("printed");
        QTest::newRow("Prospetto") << "Option1(0)" << false;
        QTest::newRow("Prospetto e colonne") << "Option1(2)" << false;
        QTest::newRow("Colonne") << "Option1(1)" << true;
    }

    void aMissingDescriptionStopsTheProspectusButNotTheListing()
    {
        QFETCH(QString, option);
        QFETCH(bool, printed);
        openWindowWith(saveSystem(systemsFolder(), QStringLiteral("solo"), 10, false));
        m_window->findChild<QRadioButton*>(option)->click();
        m_window->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        QCOMPARE(m_printer.printed.size(), printed ? 1 : 0);
        QCOMPARE(m_messages.shown.size(), printed ? 0 : 1);
        if (!printed) {
            QCOMPARE(m_messages.shown[0].title, QStringLiteral("Stampa sistemi Ottavario*"));
            QVERIFY2(m_messages.lastText().contains(systemsFolder() + QStringLiteral("/solo.stt")),
                qPrintable(m_messages.lastText()));
        }
    }

    void aColumnFileGoneSinceItWasOpenedPrintsNothing()
    {
        const QString stg = saveSystem(systemsFolder(), QStringLiteral("sparito"), 10, true);
        openWindowWith(stg);
        QVERIFY(QFile::remove(stg));
        m_window->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        QVERIFY(m_printer.printed.isEmpty());
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY(m_messages.lastText().contains(stg));
    }
};

QTEST_MAIN(TestTabulationPrinting)
#include "test_tabulation_printing.moc"
