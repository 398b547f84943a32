#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The About panel's content: product, description, maker, version, the two links and a picture.
class AboutPanel : public QWidget
{
    Q_OBJECT
public:
    static const QString EncoderHomePage;
    static const QString MakerWebSite;

    explicit AboutPanel(QWidget *parent = nullptr);

    void setVersionText(const QString &text);
    QLabel *lblVer() const { return m_version; }
    QLabel *lblFFmpeg() const { return m_ffmpeg; }
    QPushButton *cmdCloseHelp() const { return m_close; }

signals:
    // A link was pressed; the window opens the address through the desktop.
    void linkActivated(const QString &address);
    void closeRequested();

private:
    QLabel *m_version;
    QLabel *m_ffmpeg;
    QPushButton *m_close;
};
