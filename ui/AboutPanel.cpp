#include "ui/AboutPanel.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

const QString AboutPanel::EncoderHomePage = QStringLiteral("https://ffmpeg.org/");
const QString AboutPanel::MakerWebSite = QStringLiteral("https://www.tarnwick.example/");

namespace {
// The About picture: a film reel, drawn rather than shipped.
QPixmap reelPicture()
{
    QPixmap picture(96, 96);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(64, 0, 64), 3));
    painter.setBrush(QColor(128, 0, 128));
    painter.drawEllipse(QPointF(48, 48), 44, 44);
    painter.setBrush(QColor(255, 192, 255));
    for (int hole = 0; hole < 6; ++hole) {
        painter.save();
        painter.translate(48, 48);
        painter.rotate(hole * 60);
        painter.drawEllipse(QPointF(0, -26), 10, 10);
        painter.restore();
    }
    painter.drawEllipse(QPointF(48, 48), 6, 6);
    return picture;
}

QLabel *linkLabel(const QString &text, const QString &address, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setText(QStringLiteral("<a href=\"%1\" style=\"color:#0000ee\">%2</a>")
                       .arg(address.toHtmlEscaped(), text.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    label->setAccessibleName(text);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}
} // namespace

AboutPanel::AboutPanel(QWidget *parent) : QWidget(parent)
{
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgAbout"));
    picture->setPixmap(reelPicture());
    picture->setGeometry(16, 14, 96, 96);
    picture->setAccessibleName(QStringLiteral("Reelforge picture"));

    auto *product = new QLabel(QStringLiteral("Reelforge"), this);
    QFont large = product->font();
    large.setPointSize(large.pointSize() + 6);
    large.setBold(true);
    product->setFont(large);
    product->setGeometry(128, 10, 330, 32);

    auto *description = new QLabel(
        QStringLiteral("Reelforge is an easy to use tool to convert your video files to various "
                       "video formats."),
        this);
    description->setWordWrap(true);
    description->setGeometry(128, 44, 330, 40);

    auto *maker = new QLabel(QStringLiteral("Tarnwick"), this);
    maker->setGeometry(128, 88, 200, 20);

    m_version = new QLabel(QStringLiteral("1.0.0.0"), this);
    m_version->setObjectName(QStringLiteral("lblVer"));
    m_version->setGeometry(128, 108, 200, 20);
    m_version->setAccessibleDescription(QStringLiteral("Version"));

    auto *using_ = new QLabel(QStringLiteral("Reelforge is using "), this);
    using_->adjustSize();
    using_->move(128, 132);
    m_ffmpeg = linkLabel(QStringLiteral("FFmpeg"), EncoderHomePage, this);
    m_ffmpeg->setObjectName(QStringLiteral("lblFFmpeg"));
    m_ffmpeg->adjustSize();
    m_ffmpeg->move(128 + using_->width(), 132);

    QLabel *webSite = linkLabel(QStringLiteral("www.tarnwick.example"), MakerWebSite, this);
    webSite->setObjectName(QStringLiteral("lblWebSite"));
    webSite->adjustSize();
    webSite->move(128, 156);

    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdCloseHelp"));
    m_close->setAccessibleName(QStringLiteral("Close"));
    m_close->setGeometry(370, 180, 90, 28);

    connect(m_ffmpeg, &QLabel::linkActivated, this, &AboutPanel::linkActivated);
    connect(webSite, &QLabel::linkActivated, this, &AboutPanel::linkActivated);
    connect(m_close, &QPushButton::clicked, this, &AboutPanel::closeRequested);
}

void AboutPanel::setVersionText(const QString &text)
{
    m_version->setText(text);
}
