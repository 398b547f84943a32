#include "ui/StepsFrame.h"

#include "ui/FileGrid.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QThread>

namespace {
template <typename Control>
Control *place(Control *control, const char *name, const QRect &geometry)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    return control;
}

QPushButton *button(const QString &caption, const char *name, const QRect &geometry,
                    QWidget *parent)
{
    auto *control = place(new QPushButton(caption, parent), name, geometry);
    control->setAccessibleName(caption);
    return control;
}

QLabel *stepLabel(const QString &text, int top, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setGeometry(12, top, 600, 20);
    return label;
}
} // namespace

StepsFrame::StepsFrame(FileListModel *model, QWidget *parent)
    : FramePanel(QStringLiteral("Three easy steps to convert your video files."), false, parent)
{
    setObjectName(QStringLiteral("MyFrame1"));

    stepLabel(QStringLiteral("1. Add the video files you want to convert"), 24, this);
    cmdAddVideoFile =
        button(QStringLiteral("Add Video File"), "cmdAddVideoFile", QRect(12, 48, 116, 28), this);
    cmdAddFolder =
        button(QStringLiteral("Add Folder"), "cmdAddFolder", QRect(134, 48, 100, 28), this);
    cmdRemove = button(QStringLiteral("Remove"), "cmdRemove", QRect(240, 48, 80, 28), this);
    cmdPlay = button(QStringLiteral("Play"), "cmdPlay", QRect(326, 48, 70, 28), this);
    chkSelectAll = place(new QCheckBox(QStringLiteral("Select All"), this), "chkSelectAll",
                         QRect(410, 52, 110, 20));
    chkSelectAll->setAccessibleName(QStringLiteral("Select All"));
    Grid = new FileGrid(model, this);
    Grid->setGeometry(12, 82, 688, 192);
    lblAddProgress = place(new QLabel(this), "lblAddProgress", QRect(12, 277, 200, 24));
    lblAddProgress->hide();
    cmdCancelAdd = button(QStringLiteral("Cancel"), "cmdCancelAdd", QRect(216, 276, 70, 26), this);
    cmdCancelAdd->setAccessibleName(QStringLiteral("Cancel adding files"));
    cmdCancelAdd->hide();
    lblOverall = place(new QLabel(this), "lblOverall", QRect(300, 277, 400, 24));
    lblOverall->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A screen reader reads the line itself; the description says what it is.
    lblOverall->setAccessibleDescription(QStringLiteral("Overall progress"));

    stepLabel(QStringLiteral("2. Choose the output format"), 306, this);
    lblFormat = place(new QLabel(this), "lblFormat", QRect(12, 330, 570, 24));
    // Screen readers read the summary itself, as a sighted user does.
    lblFormat->setAccessibleDescription(QStringLiteral("Output format"));
    cmdChangeFormat =
        button(QStringLiteral("Change..."), "cmdChangeFormat", QRect(590, 328, 110, 28), this);

    auto *line = place(new QFrame(this), "linSteps", QRect(12, 364, 688, 2));
    line->setFrameShape(QFrame::HLine);

    stepLabel(QStringLiteral("3. Choose where the converted files go, and convert"), 372, this);
    optSameFolder = place(new QRadioButton(QStringLiteral("Same folder as input file"), this),
                          "optSameFolder", QRect(12, 396, 260, 22));
    optSameFolder->setAccessibleName(optSameFolder->text());
    optOtherFolder = place(new QRadioButton(QStringLiteral("Other folder"), this), "optOtherFolder",
                           QRect(12, 424, 110, 22));
    optOtherFolder->setAccessibleName(optOtherFolder->text());
    auto *folderChoice = new QButtonGroup(this);
    folderChoice->addButton(optSameFolder);
    folderChoice->addButton(optOtherFolder);
    txtOutPath = place(new QLineEdit(this), "txtOutPath", QRect(126, 423, 364, 26));
    txtOutPath->setAccessibleName(QStringLiteral("Other folder"));
    cmdBrowse = button(QStringLiteral("Browse..."), "cmdBrowse", QRect(496, 422, 90, 28), this);
    auto *simultaneousCaption = place(new QLabel(QStringLiteral("Simultaneous conversions"), this),
                                      "lblSimultaneous", QRect(420, 396, 180, 22));
    spnSimultaneous = place(new QSpinBox(this), "spnSimultaneous", QRect(606, 394, 94, 26));
    spnSimultaneous->setRange(1, std::max(1, QThread::idealThreadCount()));
    spnSimultaneous->setAccessibleName(simultaneousCaption->text());
    simultaneousCaption->setBuddy(spnSimultaneous);
    auto *whenExistsCaption =
        place(new QLabel(QStringLiteral("When a result already exists"), this), "lblWhenExists",
              QRect(12, 458, 200, 22));
    cmbWhenExists = place(new QComboBox(this), "cmbWhenExists", QRect(216, 455, 170, 26));
    cmbWhenExists->addItems({QStringLiteral("Make a new name"), QStringLiteral("Skip the file")});
    cmbWhenExists->setAccessibleName(whenExistsCaption->text());
    whenExistsCaption->setBuddy(cmbWhenExists);
    chkKeepDate = place(new QCheckBox(QStringLiteral("Keep the original file date"), this),
                        "chkKeepDate", QRect(420, 458, 280, 22));
    chkKeepDate->setAccessibleName(chkKeepDate->text());

    cmdConvert = button(QStringLiteral("Convert All"), "cmdConvert", QRect(12, 492, 140, 34), this);
    cmdConvertSelected = button(QStringLiteral("Convert Selected"), "cmdConvertSelected",
                                QRect(160, 492, 140, 34), this);
    chkShutdown = place(new QCheckBox(QStringLiteral("Shut down the computer when done"), this),
                        "chkShutdown", QRect(316, 499, 300, 20));
    chkShutdown->setAccessibleName(chkShutdown->text());

    optOtherFolder->setChecked(true);
    connect(optSameFolder, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optSameFolder_Click();
    });
    connect(optOtherFolder, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optOtherFolder_Click();
    });
}

void StepsFrame::optSameFolder_Click()
{
    txtOutPath->setEnabled(false);
    cmdBrowse->setEnabled(false);
}

void StepsFrame::optOtherFolder_Click()
{
    txtOutPath->setEnabled(true);
    cmdBrowse->setEnabled(true);
}
