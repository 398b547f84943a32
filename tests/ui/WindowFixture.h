#pragma once

// What the window tests share: the fixture, and the headers both of them use.
#include "filelist/FileAdder.h"
#include "filelist/FileListModel.h"
#include "tests/standins/StandInDesktop.h"
#include "tests/testsupport/ChildProcesses.h"
#include "tests/testsupport/TestMedia.h"
#include "ui/FileGrid.h"
#include "ui/FormatPanel.h"
#include "ui/MainWindow.h"
#include "ui/StepsFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>

// A real main window over the desktop stand-ins and a settings file of its own.
struct WindowFixture : StandInDesktop
{
    QTemporaryDir folder;
    std::unique_ptr<MainWindow> window;

    QString settingsFile() const { return folder.filePath(QStringLiteral("settings.ini")); }

    // Closes any open window the ordinary way, then opens a new one.
    MainWindow *open()
    {
        if (window) {
            window->close();
            window.reset();
        }
        window = std::make_unique<MainWindow>(services(settingsFile()));
        window->show();
        return QTest::qWaitForWindowExposed(window.get()) ? window.get() : nullptr;
    }

    // What a column of the grid shows, row by row.
    QStringList column(int column) const
    {
        QStringList shown;
        for (int row = 0; row < window->fileList()->rowCount(); ++row)
            shown << window->fileList()->index(row, column).data().toString();
        return shown;
    }

    void click(const char *name) const
    {
        QTest::mouseClick(window->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    }

    // Drops the files on the grid as a file manager would; false when the grid refuses them.
    bool drop(const QStringList &paths) const
    {
        QWidget *target = window->steps()->Grid->viewport();
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        return enter.isAccepted() && drop.isAccepted();
    }

    // Selects the row by a click on its path, then double-clicks it.
    void doubleClickRow(int row) const
    {
        FileGrid *grid = window->steps()->Grid;
        const QPoint cell =
            grid->visualRect(grid->model()->index(row, FileListModel::FilePath)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
    }
};
