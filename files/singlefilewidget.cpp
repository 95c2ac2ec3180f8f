// SPDX-License-Identifier: MIT
#include "files/singlefilewidget.h"

#include "common/noticebox.h"
#include "common/styledbackground.h"
#include "files/entryrules.h"
#include "files/workfolder.h"
#include "files/workprogress.h"

#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QPushButton>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

Q_LOGGING_CATEGORY(lcTile, "parcelo.files.tile")

namespace {

const QString textStyle = QStringLiteral("font: normal normal normal 10px \"Noto Sans\";color: #5272BA;opacity: 1;");

// Files whose system icon may be their own rather than their type's: folders, files typed by
// their content, and on Windows programs, shortcuts and icon files.
bool hasOwnIcon(const QFileInfo &info)
{
    if (info.isDir() || info.completeSuffix().isEmpty())
        return true;
#ifdef Q_OS_WIN
    const QString suffix = info.suffix().toLower();
    return suffix == QLatin1String("exe") || suffix == QLatin1String("lnk") || suffix == QLatin1String("ico") ||
           suffix == QLatin1String("url");
#else
    return false;
#endif
}

// Looking the icon up costs more than the rest of a tile, so one lookup serves all files of a type.
QPixmap systemIcon(const QFileInfo &info)
{
    const bool shared = !hasOwnIcon(info);
    const QString key =
        QStringLiteral("parcelo-type-icon/%1/%2")
            .arg(info.isSymLink() ? QLatin1String("link") : QLatin1String("file"), info.completeSuffix());
    QPixmap pixmap;
    if (shared && QPixmapCache::find(key, &pixmap))
        return pixmap;
    const QFileIconProvider provider;
    const QIcon icon = provider.icon(info);
    // Asked for at the tile's size, the icon comes from its best-fitting image at the screen's
    // scale, sharper than one scaled down from 32 pixels.
    pixmap = icon.pixmap(QSize(22, 30));
    if (shared)
        QPixmapCache::insert(key, pixmap);
    return pixmap;
}

// An emoji, or a letter with its marks, is one character to the reader and is never split.
QStringList graphemes(const QString &text)
{
    QStringList parts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype from = 0, to = finder.toNextBoundary(); to != -1; from = to, to = finder.toNextBoundary())
        parts << text.mid(from, to - from);
    return parts;
}

QString copyFailedMessage()
{
    return QStringLiteral("The file could not be copied under the new name");
}

} // namespace

QString SingleFileWidget::sizeText(float bytes)
{
    const float megabytes = std::round(bytes * 0.0009765625f * 0.0009765625f * 100.0f) / 100.0f;
    // One more than the whole kibibytes, also for exact multiples: an empty file reads 1KB.
    const float kilobytes = 1.0f - std::trunc(bytes * -0.0009765625f);
    if (kilobytes < 1024.0f)
        return QString::number(double(kilobytes), 'g', 6) + QStringLiteral("KB");
    return QString::number(double(megabytes), 'g', 6) + QStringLiteral("MB");
}

QFont SingleFileWidget::nameFont()
{
    QFont font(QStringLiteral("Noto Sans"));
    font.setPixelSize(10);
    return font;
}

QString SingleFileWidget::shownName(const QString &name, const QFontMetrics &metrics)
{
    // The name button's width inside the tile's border.
    const int room = 80;
    // A Hebrew or Arabic name reads from the right, cut or not, also on the left-to-right button:
    // isolated as right-to-left text, the cut's dots stay between its head and its tail.
    const auto directed = [&name](const QString &text) {
        return name.isRightToLeft() ? QChar(0x2067) + text + QChar(0x2069) : text;
    };
    if (metrics.horizontalAdvance(name) <= room)
        return directed(name);
    const QStringList parts = graphemes(name);
    const qsizetype count = parts.size();
    const QString dot = QStringLiteral(".");
    // At least one character goes, or the cut would only make the name longer.
    qsizetype head = std::min<qsizetype>(5, (count - 1) - (count - 1) / 2);
    qsizetype tail = std::min<qsizetype>(5, (count - 1) / 2);
    QString shown = name;
    while (head > 0 && tail > 0) {
        qsizetype h = head, t = tail;
        // "budge....xlsx" reads as a name with dots in it: a head gives up its final dot, a tail
        // takes the letter before its first one, or gives the dot up where there is none to spare.
        while (h > 0 && parts.at(h - 1) == dot)
            --h;
        while (t < count - h - 1 && parts.at(count - t) == dot)
            ++t;
        while (t > 0 && parts.at(count - t) == dot)
            --t;
        shown = QStringList(parts.mid(0, h)).join(QString()) + QStringLiteral("...") +
                QStringList(parts.mid(count - t)).join(QString());
        if (metrics.horizontalAdvance(shown) <= room || head + tail <= 2)
            break;
        if (head >= tail && head > 1)
            --head;
        else
            --tail;
    }
    return directed(shown);
}

SingleFileWidget::SingleFileWidget(QString path, QWidget *parent)
    : SingleFileWidget(path, EntryScan::read(path), parent)
{}

SingleFileWidget::SingleFileWidget(QString path, const EntryScan &measured, QWidget *parent)
    : QWidget(parent), filePath(path)
{
    readFileInfo(measured);
    originalName = fileName;
    nameButton = new QPushButton;
    createContents();
    connect(nameButton, &QPushButton::clicked, this, &SingleFileWidget::clickedForRename);
    setFixedSize(88, 88);

    nameDialog = &SingleFileWidget::askForName;
}

std::optional<QString> SingleFileWidget::askForName(QWidget *parent, const QString &text, qsizetype selected)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(tr("Change name"));
    dialog.setLabelText(tr("file name:"));
    dialog.setTextEchoMode(QLineEdit::Normal);
    dialog.setTextValue(text);
    // A box to answer, not a window to keep: close only, and no size to maximise to.
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Its layout, made when it is first measured, would otherwise let it grow sideways.
    dialog.sizeHint();
    dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The dialog selects its whole text as it shows, so the selection is made just after.
    if (auto *edit = dialog.findChild<QLineEdit *>())
        QTimer::singleShot(0, edit, [edit, selected] { edit->setSelection(0, int(selected)); });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void SingleFileWidget::showNotice(const QString &text, const QString &informative)
{
    NoticeBox::tell(text, informative);
}

void SingleFileWidget::readFileInfo(const EntryScan &measured)
{
    fileName = QFileInfo(filePath).fileName();
    bytes = measured.bytes;
    kind = measured.kind;
    isLink = measured.isLink;
}

void SingleFileWidget::createContents()
{
    auto *tileLayout = new QVBoxLayout(this);
    tileLayout->setContentsMargins(0, 0, 0, 0);
    tileLayout->addWidget(createIconRow());
    setupNameButton();
    const Qt::Alignment centredLow = Qt::AlignHCenter | Qt::AlignVCenter | Qt::AlignBottom;
    tileLayout->addWidget(nameButton, 1, centredLow);
    tileLayout->addWidget(createSizeLabel(), 0, centredLow);
    tileLayout->addSpacing(10);
}

QWidget *SingleFileWidget::createIconRow()
{
    auto *row = new QWidget;
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(32, 6, 0, 0);

    auto *iconColumn = new QVBoxLayout;
    iconColumn->addSpacing(6);
    iconColumn->addWidget(createIconLabel());
    rowLayout->addLayout(iconColumn, 0);

    removeButton = new QToolButton;
    removeButton->setIcon(QIcon(QPixmap(QStringLiteral(":/qrc/close.png"))));
    // The cross is white: on the tile's pale ground it needs a dot of the primary colour to be
    // seen, and without a border of its own the native style would paint a black square.
    removeButton->setStyleSheet(
        QStringLiteral("QToolButton { border: none; border-radius: 8px; background: #5272BA; } "
                       "QToolButton:focus { border: 2px solid #29395D; background: #29395D; }"));
    rowLayout->addWidget(removeButton, 0, Qt::AlignRight | Qt::AlignTop);
    connect(removeButton, &QToolButton::clicked, this, [this] { emit clicked(filePath); });
    return row;
}

QLabel *SingleFileWidget::createIconLabel()
{
    iconLabel = new QLabel;
    iconFileName = fileName;
    iconLabel->setPixmap(typeIcon(fileName, filePath));
    return iconLabel;
}

QPixmap SingleFileWidget::typeIcon(const QString &fileName, const QString &filePath)
{
    const auto endsWith = [&fileName](const char *suffix) {
        return fileName.endsWith(QLatin1String(suffix), Qt::CaseSensitive);
    };
    if (endsWith(".pdf"))
        return QPixmap(QStringLiteral(":/qrc/file-pdf.svg"));
    if (endsWith(".jpg") || endsWith(".png") || endsWith(".jpeg"))
        return QPixmap(QStringLiteral(":/qrc/file-image.svg"));
    if (endsWith(".doc") || endsWith(".docx"))
        return QPixmap(QStringLiteral(":/qrc/file-word.svg"));
    return systemIcon(QFileInfo(filePath));
}

QLabel *SingleFileWidget::createSizeLabel()
{
    sizeLabel = new QLabel(sizeText(float(bytes)));
    sizeLabel->setStyleSheet(textStyle);
    return sizeLabel;
}

void SingleFileWidget::reload(const EntryScan &measured)
{
    readFileInfo(measured);
    setName(fileName);
    if (fileName != iconFileName) {
        iconFileName = fileName;
        iconLabel->setPixmap(typeIcon(fileName, filePath));
    }
    sizeLabel->setText(sizeText(float(bytes)));
    isOriginal = true;
}

void SingleFileWidget::setupNameButton()
{
    nameButton->setFixedHeight(15);
    nameButton->setWhatsThis(QStringLiteral("Rename"));
    setName(fileName);
    // Without a border of its own the native style would still paint a button panel behind the name.
    nameButton->setStyleSheet(
        QStringLiteral("QPushButton { %1 background-color: rgba(255, 255, 255, 0); border: none; } "
                       "QPushButton:focus { border: 1px solid #5272BA; border-radius: 4px; }")
            .arg(textStyle));
}

QString SingleFileWidget::getName() const
{
    return fileName;
}

QList<QWidget *> SingleFileWidget::focusOrder() const
{
    return {removeButton, nameButton};
}

float SingleFileWidget::getSize() const
{
    return float(bytes) * 0.0009765625f * 0.0009765625f;
}

void SingleFileWidget::setNameDialog(NameDialog dialog)
{
    nameDialog = std::move(dialog);
}

bool SingleFileWidget::isPlainFileName(const QString &name)
{
    return EntryRules::isPortableFileName(name);
}

QString SingleFileWidget::invalidNameMessage()
{
    return QStringLiteral("The name you provided is not a valid file name, Please choose another name");
}

void SingleFileWidget::onFileClicked()
{
    const std::optional<QString> text =
        nameDialog(this, fileName, EntryRules::stemLength(fileName, kind == EntryScan::Kind::Folder));
    // Refused as the panel does: once the tile holds a copy, its own name would name that copy.
    if (!text || text->isEmpty() || *text == fileName)
        return;
    setName(*text);
    makeFileCopy(*text);
}

void SingleFileWidget::setName(QString name)
{
    fileName = std::move(name);
    nameButton->setText(shownName(fileName, QFontMetrics(nameFont())));
    nameButton->setAccessibleName(QStringLiteral("Rename ") + fileName);
    removeButton->setAccessibleName(QStringLiteral("Remove ") + fileName);
    removeButton->setToolTip(QStringLiteral("Remove %1 from the list").arg(fileName));
    // The shown name may be cut short, so the whole one comes first.
    QString tip = fileName + QStringLiteral("\nRename");
    if (fileName != originalName)
        tip += QStringLiteral("\nOriginal name: ") + originalName;
    nameButton->setToolTip(tip);
}

void SingleFileWidget::makeFileCopy(QString newFileName)
{
    if (!isPlainFileName(newFileName)) {
        refuseCopy(invalidNameMessage(), EntryRules::nameProblem(newFileName));
        return;
    }
    if (!WorkFolder::ensure()) {
        refuseCopy(WorkFolder::isTrusted() ? copyFailedMessage() : WorkFolder::untrustedMessage());
        return;
    }
    const QString newPath = WorkFolder::path() + QLatin1Char('/') + newFileName;
    if (newPath == filePath) {
        setName(QFileInfo(filePath).fileName());
        return;
    }
    switch (copyTo(newPath)) {
    case EntryCopy::Result::Copied:
        break;
    case EntryCopy::Result::Failed:
        refuseCopy(copyFailedMessage());
        return;
    case EntryCopy::Result::Cancelled:
        // The user's own choice needs no message.
        setName(QFileInfo(filePath).fileName());
        return;
    }
    emit filePathChanged(filePath, newPath);
    if (!isOriginal && !EntryCopy::remove(filePath, WorkProgress::aside(window())))
        qCWarning(lcTile) << "could not remove the earlier copy" << filePath;
    filePath = newPath;
    isOriginal = false;
    // The copy of a chosen link holds what the link pointed to.
    isLink = false;
}

EntryCopy::Result SingleFileWidget::copyTo(const QString &newPath)
{
    const QFileInfo source(filePath);
    const QFileInfo target(newPath);
    // On a file system that ignores case the "leftover" may be the source itself.
    if (target.exists() && source.exists() && target.canonicalFilePath() == source.canonicalFilePath())
        return EntryCopy::Result::Failed;
    // Everything in this program's own folder is a copy it made, and a listed name is never
    // offered again, so whatever holds this name is a leftover of a removed entry.
    if (!EntryCopy::remove(newPath, WorkProgress::aside(window())))
        return EntryCopy::Result::Failed;
    WorkProgress progress(window(), QStringLiteral("Copying %1...").arg(source.fileName()));
    return EntryCopy::copy(filePath, newPath, progress.callback());
}

// A refused copy leaves the tile as it was: the name that matches the file it stands for.
void SingleFileWidget::refuseCopy(const QString &message, const QString &informative)
{
    qCWarning(lcTile) << "no copy of" << filePath << ":" << message;
    setName(QFileInfo(filePath).fileName());
    showNotice(message, informative);
}

void SingleFileWidget::paintEvent(QPaintEvent *event)
{
    paintStyledBackground(this);
    QWidget::paintEvent(event);
}

void SingleFileWidget::mousePressEvent(QMouseEvent *event)
{
    // Presses on the card itself travel on, so the window can still be dragged by them.
    event->ignore();
}
