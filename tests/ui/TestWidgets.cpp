#include "tests/format/DataFileText.h"
#include "tests/standins/MessageRecorder.h"
#include "ui/FormatPanel.h"
#include "ui/ProgressBarPainter.h"
#include "ui/SchemeStyle.h"
#include "ui/StatusDelegate.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace DataFileText;

namespace {
const QColor kBack(255, 255, 255);
const QColor kBase(250, 250, 250);
constexpr int kPercentRole = Qt::UserRole + 1;
QStringList items(const QComboBox *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}
} // namespace

// Widgets on their own: a Status cell rendered by a real grid and read back pixel by pixel, and
// the format panel.
class TestWidgets : public QObject
{
    Q_OBJECT

private:
    QStandardItemModel m_model{1, 2};
    QTableView m_view;
    QImage m_image;
    QRect m_cell;

    void render(const QString &status, int width)
    {
        auto *item = new QStandardItem(status);
        bool isNumber = false;
        const double percent = status.toDouble(&isNumber);
        if (isNumber)
            item->setData(percent, kPercentRole);
        m_model.setItem(0, 1, item);
        m_view.setColumnWidth(1, width);
        m_cell = m_view.visualRect(m_model.index(0, 1));
        m_image = m_view.viewport()->grab().toImage();
    }

    int count(const QRect &area, const QColor &color) const
    {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                found += m_image.pixelColor(x, y) == color;
        return found;
    }

private slots:
    void initTestCase()
    {
        QPalette palette = m_view.palette();
        palette.setColor(QPalette::HighlightedText, kBack);
        palette.setColor(QPalette::Base, kBase);
        m_view.setPalette(palette);
        m_view.setModel(&m_model);
        m_view.setItemDelegate(new StatusDelegate(1, kPercentRole, &m_view));
        m_view.setShowGrid(false);
        m_view.resize(400, 120);
        m_view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_view));
    }

    void barCoversItsShareWithTheTextSwapped_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("barColumns"); // the bar stops one column short of its edge
        QTest::newRow("minus one as zero") << "-1" << 120 << 0;
        QTest::newRow("above 100 as full") << "250" << 120 << 119;
        QTest::newRow("45.5 rounds to 46") << "45.5" << 100 << 45;
    }

    void barCoversItsShareWithTheTextSwapped()
    {
        QFETCH(QString, status);
        QFETCH(int, width);
        QFETCH(int, barColumns);
        render(status, width);
        const QColor bar = ProgressBarPainter::barColor();
        const QRect inside(m_cell.left(), m_cell.top(), barColumns, m_cell.height());
        const QRect outside = m_cell.adjusted(barColumns, 0, 0, 0);
        // Only the two colours: the grid's own background and text are suppressed.
        QCOMPARE(count(m_cell, bar) + count(m_cell, kBack), width * m_cell.height());
        // The bar ends exactly at its share, seen above the text.
        QCOMPARE(m_image.pixelColor(outside.topLeft() + QPoint(0, 1)), kBack);
        if (barColumns > 0)
            QCOMPARE(m_image.pixelColor(outside.topLeft() + QPoint(-1, 1)), bar);
        // The percentage: background-coloured under the bar, bar-coloured beyond it.
        const int textUnder = barColumns > 0 ? count(inside, kBack) : 0;
        const int textBeyond = count(outside, bar);
        QVERIFY(textUnder + textBeyond > 0);
        if (barColumns > 20 && barColumns < width - 20)
            QVERIFY(textUnder > 0 && textBeyond > 0);
    }

    // Words are drawn by the grid: no bar.
    void wordsWithoutBar()
    {
        render("12.34 Seconds Converted", 160);
        QCOMPARE(count(m_cell, ProgressBarPainter::barColor()), 0);
        QCOMPARE(m_image.pixelColor(m_cell.left() + 1, m_cell.top() + 1), kBase);
    }
    // The scheme's buttons: a light face in a border that thickens in the text colour with the
    // focus, a greyed caption when disabled; the grid's lines in the border colour.
    void schemeLook()
    {
        const QColor light(255, 192, 255), border(128, 0, 128), text(64, 0, 64);
        SchemeStyle scheme(light, border, text);
        QWidget window;
        QPushButton button("Add Video File", &window);
        QTableView grid(&window);
        QStandardItemModel model(2, 2);
        grid.setModel(&model);
        for (QWidget *widget : std::initializer_list<QWidget *>{&button, &grid})
            widget->setStyle(&scheme);
        button.setGeometry(20, 20, 120, 30);
        grid.setGeometry(20, 60, 300, 120);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid.setFocus();
        const QImage plain = button.grab().toImage();
        button.setFocus();
        const QImage focused = button.grab().toImage();
        // The two outer columns of pixels at mid height.
        const auto edge = [](const QImage &image) {
            return QList<QColor>{image.pixelColor(0, 15), image.pixelColor(1, 15)};
        };
        QCOMPARE(edge(plain), (QList<QColor>{border, light}));
        QCOMPARE(edge(focused), (QList<QColor>{text, text}));
        button.setEnabled(false);
        const QImage disabled = button.grab().toImage();
        int greyed = 0;
        int dark = 0;
        for (int y = 3; y < 27; ++y) {
            for (int x = 3; x < 117; ++x) {
                greyed += disabled.pixelColor(x, y) == QColor(0x9a, 0x7f, 0x9a);
                dark += disabled.pixelColor(x, y) == text;
            }
        }
        QVERIFY2(greyed > 0 && dark == 0, qPrintable(QString("%1 %2").arg(greyed).arg(dark)));
        const int line = grid.columnViewportPosition(1) - 1;
        QCOMPARE(grid.viewport()->grab().toImage().pixelColor(line, 5), border);
    }

    // Labels once per category with their extensions in file order; equal presets give the first.
    void presetSelectionsChain()
    {
        QTemporaryDir dir;
        MessageRecorder messages; // none expected; a message box would wait for a click
        FormatPanel panel;
        QSignalSpy summary(&panel, &FormatPanel::formatSummaryChanged);
        panel.LoadPresets(
            writeFile(dir.path(), "presets.xml",
                      document("presets", {presetEntry("L1", "-a", "mp4", "Video"),
                                           presetEntry("L1", "-b", "mkv", "Video"),
                                           presetEntry("L2", "-c", "avi", "Video"),
                                           presetEntry("L1", "-again", "mp4", "Video"),
                                           presetEntry("L1", "-e", "mov", "Video"),
                                           presetEntry("A1", "-f", "mp3", "Audio"),
                                           presetEntry("L1", "-g", "mp4", "Audio")})));
        QCOMPARE(items(panel.cmbCategory()), (QStringList{"Video", "Audio"}));
        QCOMPARE(items(panel.cmbOutVCodec()), (QStringList{"L1", "L2"}));
        QCOMPARE(items(panel.cmbOutFormat()), (QStringList{"mp4", "mkv", "mov"}));
        QCOMPARE(panel.GetParamaters(), QStringLiteral("-a"));
        // Selections by code run the same chain, in the order stored choices are applied.
        panel.cmbCategory()->setCurrentIndex(1);
        panel.cmbOutVCodec()->setCurrentIndex(1);
        QCOMPARE(items(panel.cmbOutFormat()), QStringList{"mp4"});
        QCOMPARE(panel.GetParamaters(), QStringLiteral("-g"));
        panel.cmbCategory()->setCurrentIndex(0);
        panel.cmbOutFormat()->setCurrentIndex(2);
        QCOMPARE(panel.GetParamaters(), QStringLiteral("-e"));
        panel.ShowFormatSummary();
        QCOMPARE(summary.last().at(0).toString(),
                 QString("Category:Video, Codec:\"L1\", Container:\"mov\""));
    }

    void customFormat_data()
    {
        // Sampling rate, audio bitrate, audio codec, channels, video codec, video bitrate, size,
        // aspect and frame rate, as the lists and fields show them.
        QTest::addColumn<QString>("choices");
        QTest::addColumn<QString>("options"); // empty: the failure message is shown
        QTest::addColumn<QString>("refusal"); // what Save && Close says, empty when it closes
        const auto row = [](const char *name, const char *choices, const char *options,
                            const char *refusal) {
            QTest::newRow(name) << choices << options << refusal;
        };
        row("worked example", "22.05 KHz|64|Unnamed|2|Unnamed|320|[As Input]|[As Input]|25",
            "-ar 22050 -ab 64000 -ac 2 -b 320000 -r 25", "");
        row("general codec in both lists, size and aspect",
            "44.1 KHz|0064|Copy|1|Copy|800|vga(640x480)|16:9|29.97",
            "-ar 44100 -ab 64000 -acodec copy -ac 1 -vcodec copy -b 800000 -s vga -aspect 16:9 -r "
            "29.97",
            "");
        row("names trimmed, first of equal descriptions, largest bitrate",
            "8 KHz|2147483|AAC|6|H.264|1|qsxga(2560x2048) |1.3333|10",
            "-ar 8000 -ab 2147483000 -acodec aac -ac 6 -vcodec libx264 -b 1000 -s qsxga -aspect "
            "1.3333 -r 10",
            "");
        row("audio bitrate past 32 bits", "8 KHz|2147484|AAC|2|H.264|320|[As Input]|[As Input]|25",
            "", "");
        row("video bitrate empty", "8 KHz|64|AAC|2|H.264||[As Input]|[As Input]|25", "",
            "Video Bitrate Field in the custom Format can not be empty.");
        row("channels empty, checked first", "8 KHz||AAC||H.264||[As Input]|[As Input]|", "",
            "Channels Field in the custom Format can not be empty.");
    }

    void customFormat()
    {
        QFETCH(QString, choices);
        QFETCH(QString, options);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        MessageRecorder messages;
        FormatPanel panel;
        panel.LoadCodecs(
            writeFile(dir.path(), "codecs.xml",
                      document("codecs", {codecEntry(" libx264 ", "H.264", "video codec"),
                                          codecEntry("libx265", "H.264", "video codec"),
                                          codecEntry("copy", "Copy", "general"),
                                          codecEntry("aac", "AAC", "audio codec"),
                                          codecEntry("  ", "Unnamed", "general")})));
        panel.optFormat(1)->setChecked(true);
        const QList<QWidget *> controls = {
            panel.cmbCASmapleRate(), panel.txtCABirate(), panel.cmbCACodec(),
            panel.txtChannels(),     panel.cmbCVCodec(),  panel.txtCVBitrate(),
            panel.cmbCVSize(),       panel.cmbCVAspect(), panel.txtFrameRate()};
        for (int i = 0; i < controls.size(); ++i)
            controls[i]->metaObject()->userProperty().write(controls[i],
                                                            choices.section('|', i, i));
        QCOMPARE(panel.GetParamaters(), options);
        QCOMPARE(messages.count(), options.isEmpty() ? 1 : 0);
        QVERIFY(options.isEmpty() ==
                messages.texts().value(0).startsWith("Error occured while getting paramters\r\n"));

        // Save && Close checks the custom fields in both modes.
        QSignalSpy closed(&panel, &FormatPanel::closeRequested);
        for (const int mode : {1, 0}) {
            panel.optFormat(mode)->setChecked(true);
            messages.clear();
            QTest::mouseClick(panel.cmdHide(), Qt::LeftButton);
            QCOMPARE(messages.texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
        }
        QCOMPARE(closed.count(), refusal.isEmpty() ? 2 : 0);
    }

    // Typed and pasted text alike is held to the key rules.
    void keyFilters_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("start"); // selected as a whole before typing
        // \b is Backspace, \x7f Delete (with the text X11 gives it), ^ Home, $ End, < and > arrows;
        // what follows | is pasted with Shift+Insert.
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        const auto row = [](const char *name, const char *field, const char *start,
                            const char *typed, const char *result) {
            QTest::newRow(name) << field << start << typed << result;
        };
        row("fifth digit swallowed, Backspace still works", "txtCABirate", "", "12800\b5", "1285");
        row("digits only", "txtCVBitrate", "", "1a.2 -3", "123");
        row("no 0, one digit in Channels", "txtChannels", "", "034", "3");
        row("0 before a point, neither 0 nor point after it", "txtFrameRate", "", "10.0.5", "10.5");
        row("Delete, Home, End and arrows edit", "txtCVBitrate", "1234", "^\x7f>\x7f$<\x7f", "2");
        row("pasted letters after digits", "txtCABirate", "", "|64abc", "");
        row("pasted fifth digit", "txtCVBitrate", "", "12|345", "12");
        row("pasted second point", "txtFrameRate", "", "25.|5.1", "25.");
    }

    void keyFilters()
    {
        QFETCH(QString, field);
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        FormatPanel panel;
        auto *edit = panel.findChild<QLineEdit *>(field);
        edit->setText(start);
        edit->selectAll();
        const QString editing = "\x7f^$<>";
        const Qt::Key keys[] = {Qt::Key_Delete, Qt::Key_Home, Qt::Key_End, Qt::Key_Left,
                                Qt::Key_Right};
        for (const QChar ch : typed.section('|', 0, 0)) {
            if (!editing.contains(ch)) {
                QTest::keyClick(edit, ch.toLatin1());
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, keys[editing.indexOf(ch)], Qt::NoModifier,
                            ch == '\x7f' ? QString(ch) : QString());
            QCoreApplication::sendEvent(edit, &press);
        }
        if (typed.contains('|')) {
            QApplication::clipboard()->setText(typed.section('|', 1));
            QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
        }
        QCOMPARE(edit->text(), result);
        // Ctrl+V arrives as a control character, which is refused too.
        QApplication::clipboard()->setText("7");
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), result);
    }
};

QTEST_MAIN(TestWidgets)
#include "TestWidgets.moc"
