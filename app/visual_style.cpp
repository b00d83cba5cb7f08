#include "app/visual_style.h"

#include "runtime/messages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

namespace quittung::app {

namespace {

const QString kStylesRoot = QStringLiteral(":/styles");

QByteArray readResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setColors(QPalette& palette, QPalette::ColorGroup group, const QJsonObject& colors)
{
    const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
    for (auto it = colors.begin(); it != colors.end(); ++it) {
        bool known = false;
        const int role = roles.keyToValue(it.key().toLatin1().constData(), &known);
        const QColor color = QColor::fromString(it.value().toString());
        if (known && color.isValid())
            palette.setColor(group, static_cast<QPalette::ColorRole>(role), color);
    }
}

} // namespace

std::optional<QString> findVisualStyle(const QString& name)
{
    const QStringList styles = QDir(kStylesRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& style : styles) {
        if (style.compare(name, Qt::CaseInsensitive) == 0)
            return kStylesRoot + QLatin1Char('/') + style;
    }
    return std::nullopt;
}

bool applyVisualStyle(QApplication& application, const QString& name)
{
    const std::optional<QString> folder = findVisualStyle(name);
    if (!folder)
        return false;
    const QJsonObject description = QJsonDocument::fromJson(readResource(*folder + QStringLiteral("/palette.json"))).object();
    if (QStyle* base = QStyleFactory::create(description.value(QStringLiteral("base")).toString(QStringLiteral("Fusion"))))
        QApplication::setStyle(base);
    QPalette palette = QApplication::style()->standardPalette();
    setColors(palette, QPalette::All, description.value(QStringLiteral("colors")).toObject());
    setColors(palette, QPalette::Disabled, description.value(QStringLiteral("disabled")).toObject());
    QApplication::setPalette(palette);
    application.setStyleSheet(QString::fromUtf8(readResource(*folder + QStringLiteral("/style.qss"))));
    return true;
}

std::unique_ptr<QMessageBox> makeStyleNotFoundBox(const QString& name)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QString::fromUtf8(msg::SMsgDlgError),
        formatMessage(msg::SStyleNotFound, {name}), QMessageBox::NoButton);
    QPushButton* close = box->addButton(QString::fromUtf8(msg::SCloseButton), QMessageBox::AcceptRole);
    box->setDefaultButton(close);
    box->setEscapeButton(close);
    return box;
}

void applyVisualStyleOrComplain(QApplication& application, const QString& name)
{
    if (!applyVisualStyle(application, name))
        makeStyleNotFoundBox(name)->exec();
}

} // namespace quittung::app
