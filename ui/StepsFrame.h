#pragma once

#include "ui/FramePanel.h"

class FileGrid;
class FileListModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Three easy steps": the file list with its buttons, the chosen format, and where the
// results go with the convert buttons. It only lays the controls out; the window wires them.
class StepsFrame : public FramePanel
{
    Q_OBJECT
public:
    StepsFrame(FileListModel *model, QWidget *parent = nullptr);

    QPushButton *cmdAddVideoFile, *cmdAddFolder, *cmdRemove, *cmdPlay;
    QCheckBox *chkSelectAll;
    FileGrid *Grid;
    // The line under the grid while files are being added, and its way to stop.
    QLabel *lblAddProgress;
    QPushButton *cmdCancelAdd;
    QLabel *lblOverall; // the batch's overall progress, under the grid
    QLabel *lblFormat;
    QPushButton *cmdChangeFormat;
    QRadioButton *optSameFolder, *optOtherFolder;
    QLineEdit *txtOutPath;
    QPushButton *cmdBrowse, *cmdConvert, *cmdConvertSelected;
    QSpinBox *spnSimultaneous; // how many files are converted at once
    QComboBox *cmbWhenExists;  // make a new name, or skip the file
    QCheckBox *chkKeepDate;
    QCheckBox *chkShutdown;

private:
    void optSameFolder_Click();
    void optOtherFolder_Click();
};
