// SPDX-License-Identifier: MIT
#include "files/filewidget.h"

#include "common/styledbackground.h"
#include "files/entryrules.h"
#include "files/workprogress.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHash>
#include <QLoggingCategory>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

Q_LOGGING_CATEGORY(lcPanel, "parcelo.files.panel")
// One line per listed name on every add: too many to write unless asked for.
Q_LOGGING_CATEGORY(lcNames, "parcelo.files.names", QtInfoMsg)

namespace {

const int columns = 7;
// A tile's fixed width.
const int tileWidth = 88;
const int fullHeight = 273;
const float sizeLimit = 500.0f;
const qint64 megabyte = 1048576;
const qint64 limitBytes = 500 * megabyte;

QString tooMuchMessage()
{
    return QStringLiteral("You can't add more than 500 MB of files");
}

// A tile that leaves goes out of sight at once but is deleted later: it may be the sender of the
// signal that is running now.
void discard(QWidget *tile)
{
    tile->hide();
    tile->deleteLater();
}

} // namespace

FileWidget::FileWidget(QWidget *parent) : QWidget(parent)
{
    setAcceptDrops(true);
    auto *panelLayout = new QVBoxLayout(this);
    // Two pixels keep the scroll bar off the panel's right border, also while a drag widens it.
    panelLayout->setContentsMargins(0, 0, 2, 0);
    panelLayout->addWidget(createScrollArea());
    gridLayout->setColumnStretch(columns, 1);
    gridLayout->setSpacing(35);
    setContentsMargins(25, 15, 0, 35);
    // Two rows of tiles; on a small screen the panel gives up height first and its tiles scroll.
    // At least one whole row shows, above the sideways scroll bar of a squeezed window.
    const int row = gridLayout->contentsMargins().top() + tileWidth;
    const int scrollBar = findChild<QScrollArea *>()->horizontalScrollBar()->sizeHint().height();
    setMinimumHeight(contentsMargins().top() + row + scrollBar + contentsMargins().bottom());
    setMaximumHeight(fullHeight);

    nameDialog = &SingleFileWidget::askForName;
}

// More than two rows do not fit the panel's fixed height, so the tiles scroll inside it.
QScrollArea *FileWidget::createScrollArea()
{
    auto *tiles = new QWidget;
    gridLayout = new QGridLayout(tiles);
    // Without the bottom margin two rows fit the visible height, so they need no scroll bar.
    gridLayout->setContentsMargins(gridLayout->contentsMargins().left(), gridLayout->contentsMargins().top(),
                                   gridLayout->contentsMargins().right(), 0);

    auto *scrollArea = new QScrollArea;
    // Tab goes to the tiles' buttons; the area itself would be a stop with no mark.
    scrollArea->setFocusPolicy(Qt::NoFocus);
    scrollArea->setFrameShape(QFrame::NoFrame);
    // Only a window squeezed by a small screen is narrower than a row of tiles.
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrollArea->setWidgetResizable(true);
    scrollArea->setWidget(tiles);
    // The panel's own styled background shows through.
    scrollArea->viewport()->setAutoFillBackground(false);
    tiles->setAutoFillBackground(false);
    return scrollArea;
}

void FileWidget::setNameDialog(SingleFileWidget::NameDialog dialog)
{
    nameDialog = std::move(dialog);
}

void FileWidget::addFile(QString path)
{
    addFiles({path});
}

// Each refusal of one add is noted, and all are shown together once it ends: 45 photos already
// listed give one message, not 45.
void FileWidget::gatherRefusals(const std::function<void()> &work)
{
    ++gathering;
    work();
    if (--gathering > 0)
        return;
    const EntryRules::Notice notice = EntryRules::summarise(refusals, sizeLimit - getSize());
    refusals.clear();
    if (notice.text.isEmpty())
        return;
    if (notice.overLimit)
        emit sizeExceeded(notice.text, notice.informative);
    else
        SingleFileWidget::showNotice(notice.text, notice.informative);
}

void FileWidget::refuse(EntryRules::Refusal::Kind kind, const QString &text, const QString &name, float megabytes)
{
    refusals.append({kind, text, name, megabytes});
}

void FileWidget::offer(const QString &path)
{
    if (refuseRoot(path) || refuseListedName(path))
        return;
    const std::optional<EntryScan> scan = measure(path);
    if (!scan || refuseEntry(*scan, path))
        return;
    auto *tile = new SingleFileWidget(path, *scan);
    connect(tile, &SingleFileWidget::clickedForRename, this, &FileWidget::renameFile);
    connect(tile, &SingleFileWidget::filePathChanged, this, &FileWidget::onFileNameChanged);
    if (!fitsLimit(tile))
        return;
    connect(tile, &SingleFileWidget::clicked, this, &FileWidget::removeFile);
    enter(path, tile);
}

bool FileWidget::refuseRoot(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QString refusal = EntryRules::refusalOfRoot(path, shown);
    if (refusal.isEmpty())
        return false;
    refuse(EntryRules::Refusal::Kind::Other, refusal, shown);
    return true;
}

bool FileWidget::refuseListedName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (!checkIfFileNameExists(name))
        return false;
    refuse(EntryRules::Refusal::Kind::Listed, QStringLiteral("The file with the name you provided exists"), name);
    return true;
}

// The walk of a folder stops once it is over what is left of the limit, so a huge folder is
// refused at once. No value when the user cancelled the measurement.
std::optional<EntryScan> FileWidget::measure(const QString &path)
{
    WorkProgress progress(window(), QStringLiteral("Measuring %1...").arg(QFileInfo(path).fileName()));
    const qint64 room = limitBytes - getBytes();
    EntryScan scan = EntryScan::read(path, std::max<qint64>(room, 0), progress.callback());
    if (progress.wasCancelled())
        return std::nullopt;
    return scan;
}

bool FileWidget::refuseEntry(const EntryScan &scan, const QString &path)
{
    const QString refusal = EntryRules::refusalToList(scan, QDir::toNativeSeparators(path));
    if (refusal.isEmpty())
        return false;
    refuse(EntryRules::Refusal::Kind::Other, refusal, QFileInfo(path).fileName());
    return true;
}

// Every file counts against the total as it is at that moment, so a later, smaller one may fit.
bool FileWidget::fitsLimit(SingleFileWidget *tile)
{
    if (tile->getBytes() + getBytes() <= limitBytes)
        return true;
    refuse(EntryRules::Refusal::Kind::OverLimit, tooMuchMessage(), tile->getName(), tile->getSize());
    discard(tile);
    return false;
}

void FileWidget::enter(const QString &path, SingleFileWidget *tile)
{
    qCDebug(lcPanel) << "listed" << path;
    fileMap.insert(path, tile);
    gridLayout->addWidget(tile, nextRow, nextColumn, Qt::AlignTop);
    chainFocus(tile);
    if (++nextColumn == columns) {
        nextColumn = 0;
        ++nextRow;
    }
    emit sizeChanged(getSize());
}

// Tab reaches a tile where it is shown, after the one before it, not after the window's last
// button, where a new widget joins the focus chain.
void FileWidget::chainFocus(SingleFileWidget *tile)
{
    QWidget *previous = lastEntered ? lastEntered->focusOrder().constLast() : focusableBefore();
    lastEntered = tile;
    if (!previous)
        return;
    for (QWidget *next : tile->focusOrder()) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

// The control that Tab visits before this panel, or null when there is none.
QWidget *FileWidget::focusableBefore() const
{
    QWidget *start = gridLayout->parentWidget();
    for (QWidget *w = start->previousInFocusChain(); w && w != start; w = w->previousInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !isAncestorOf(w))
            return w;
    }
    return nullptr;
}

// A listed tile goes through the checks of a new one again, with its file read afresh; it is
// only not made anew, which for hundreds of tiles took most of a second.
void FileWidget::addAgain(const QString &path, SingleFileWidget *tile)
{
    if (refuseListedName(path)) {
        discard(tile);
        return;
    }
    const std::optional<EntryScan> scan = measure(path);
    if (!scan || refuseEntry(*scan, path)) {
        discard(tile);
        return;
    }
    tile->reload(*scan);
    if (fitsLimit(tile))
        enter(path, tile);
}

void FileWidget::addFiles(QStringList paths)
{
    gatherRefusals([&] {
        for (const QString &path : std::as_const(paths))
            offer(path);
    });
}

void FileWidget::removeFile(QString path)
{
    qCDebug(lcPanel) << "remove" << path;
    SingleFileWidget *tile = fileMap.value(path);
    if (!tile)
        return;
    gridLayout->removeWidget(tile);
    discard(tile);
    fileMap.remove(path);
    // The others keep their measurements: a removal only makes room.
    rebuild(false);
}

void FileWidget::removeFiles(QStringList paths)
{
    for (const QString &path : paths)
        removeFile(path);
}

void FileWidget::renameFile()
{
    QPointer<SingleFileWidget> tile = qobject_cast<SingleFileWidget *>(sender());
    if (!tile)
        return;
    const QString current = tile->getName();
    const bool folder = tile->listedKind() == EntryScan::Kind::Folder;
    // A refused name is offered again, as typed, for the user to mend.
    for (QString offered = current;;) {
        const std::optional<QString> text = nameDialog(this, offered, EntryRules::stemLength(offered, folder));
        if (!tile || !text || text->isEmpty() || *text == current)
            return;
        const QString problem = EntryRules::nameProblem(*text);
        const QString taken = problem.isEmpty() ? takenName(*text, tile) : QString();
        if (problem.isEmpty() && taken.isEmpty()) {
            tile->setName(*text);
            tile->makeFileCopy(*text);
            return;
        }
        if (!problem.isEmpty())
            SingleFileWidget::showNotice(SingleFileWidget::invalidNameMessage(), problem);
        else
            SingleFileWidget::showNotice(
                QStringLiteral("The file with the name you provided exists, Please choose another name"),
                QStringLiteral("%1 is in the list already.").arg(taken));
        offered = *text;
    }
}

void FileWidget::onFileNameChanged(QString oldPath, QString newPath)
{
    if (!fileMap.contains(oldPath))
        return;
    qCDebug(lcPanel) << "renamed" << oldPath << newPath;
    fileMap.insert(newPath, fileMap.value(oldPath));
    fileMap.remove(oldPath);
}

bool FileWidget::checkIfFileNameExists(QString fileName)
{
    return !takenName(fileName, nullptr).isEmpty();
}

// The listed name that `fileName` would clash with, or an empty string. Case aside: unpacked on
// Windows, "Report.txt" would overwrite "report.txt". The entry being renamed does not count, so
// it may change the case of its own name.
QString FileWidget::takenName(const QString &fileName, const SingleFileWidget *except) const
{
    for (auto it = fileMap.cbegin(); it != fileMap.cend(); ++it) {
        const QString listed = QFileInfo(it.key()).fileName();
        qCDebug(lcNames) << listed << fileName;
        if (it.value() != except && listed.compare(fileName, Qt::CaseInsensitive) == 0)
            return listed;
    }
    return QString();
}

void FileWidget::removeAllFiles()
{
    clearList({});
}

// Empties the list and the grid; the tiles in `kept` stay as the panel's children, to be listed
// again.
void FileWidget::clearList(const QSet<QWidget *> &kept)
{
    fileMap.clear();
    clearLayout(gridLayout, kept);
    gridLayout->setColumnStretch(columns, 1);
    emit sizeChanged(0.0f);
    nextRow = 0;
    nextColumn = 0;
    lastEntered = nullptr;
}

void FileWidget::clearLayout(QLayout *layout, const QSet<QWidget *> &kept)
{
    while (QLayoutItem *item = layout->takeAt(0)) {
        QWidget *widget = item->widget();
        if (widget && !kept.contains(widget)) {
            discard(widget);
        }
        if (QLayout *nested = item->layout())
            clearLayout(nested, kept);
        delete item;
    }
}

void FileWidget::updateFiles()
{
    gatherRefusals([this] { rebuild(true); });
}

// Lists the remaining tiles again from the first cell, in the order they were added, each read
// afresh or as measured before: a removal must not shuffle what the user arranged.
void FileWidget::rebuild(bool readAgain)
{
    QHash<const QWidget *, QString> pathOf;
    for (auto it = fileMap.cbegin(); it != fileMap.cend(); ++it)
        pathOf.insert(it.value(), it.key());
    QList<std::pair<QString, QPointer<SingleFileWidget>>> listed;
    QSet<QWidget *> kept;
    for (int row = 0; row <= nextRow; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QLayoutItem *cell = gridLayout->itemAtPosition(row, column);
            auto *tile = cell ? qobject_cast<SingleFileWidget *>(cell->widget()) : nullptr;
            if (!tile || !pathOf.contains(tile))
                continue;
            listed.append({pathOf.value(tile), tile});
            kept.insert(tile);
        }
    }
    rebuilding = !listed.isEmpty();
    clearList(kept);
    if (!listed.isEmpty())
        emit initDestinationPath(listed.first().first);
    // A message box on the way runs an event loop, in which a tile could go.
    for (const auto &[path, tile] : std::as_const(listed)) {
        if (tile && readAgain)
            addAgain(path, tile);
        else if (tile)
            enter(path, tile);
    }
    rebuilding = false;
}

// `scans` receives each entry's fresh reading, in getFiles() order, for the packing that follows.
QString FileWidget::checkEntriesAgain(QList<EntryScan> *scans)
{
    WorkProgress progress(window(), QStringLiteral("Checking the files..."), false);
    qint64 total = 0;
    for (auto it = fileMap.cbegin(); it != fileMap.cend(); ++it) {
        const SingleFileWidget *tile = it.value();
        const EntryScan now = EntryScan::read(it.key(), limitBytes - total, progress.callback());
        const QString refusal =
            EntryRules::refusalToPack(tile->listedKind(), tile->listedAsLink(), now, tile->getName());
        if (!refusal.isEmpty())
            return refusal;
        total += now.bytes;
        if (total > limitBytes)
            return tooMuchMessage();
        if (scans)
            scans->append(now);
    }
    return QString();
}

QStringList FileWidget::getFiles()
{
    return fileMap.keys();
}

qint64 FileWidget::getBytes() const
{
    qint64 total = 0;
    for (const SingleFileWidget *tile : fileMap)
        total += tile->getBytes();
    return total;
}

float FileWidget::getSize()
{
    float total = 0.0f;
    for (const SingleFileWidget *tile : std::as_const(fileMap))
        total += tile->getSize();
    return total;
}

// Wide enough for a full row of tiles beside the scroll bar: narrower, the last columns were cut
// off and out of reach.
QSize FileWidget::minimumSizeHint() const
{
    const QMargins grid = gridLayout->contentsMargins();
    const int row = columns * tileWidth + (columns - 1) * gridLayout->horizontalSpacing() + grid.left() + grid.right();
    const QMargins panel = contentsMargins() + layout()->contentsMargins();
    const int scrollBar = findChild<QScrollArea *>()->verticalScrollBar()->sizeHint().width();
    return QSize(panel.left() + row + scrollBar + panel.right(), QWidget::minimumSizeHint().height());
}

QSize FileWidget::sizeHint() const
{
    return QSize(minimumSizeHint().width(), fullHeight);
}

void FileWidget::paintEvent(QPaintEvent *event)
{
    paintStyledBackground(this);
    if (dropHighlighted) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x52, 0x72, 0xBA), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    }
    QWidget::paintEvent(event);
}

void FileWidget::takeDropsOn(QWidget *window)
{
    dropWindow = window;
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

// The window passes on what a drag does over it outside the list.
bool FileWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != dropWindow)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
        dragEnterEvent(static_cast<QDragEnterEvent *>(event));
        return true;
    case QEvent::DragLeave:
        dragLeaveEvent(static_cast<QDragLeaveEvent *>(event));
        return true;
    case QEvent::Drop:
        dropEvent(static_cast<QDropEvent *>(event));
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

namespace {

// A web link has no file behind it to pack, and a relative one ("file:a.txt") would be taken from
// wherever this program happens to run. Folders may come with a trailing slash, which would leave
// them without a name.
QString droppedPath(const QUrl &url)
{
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    return QDir::isAbsolutePath(path) ? QDir::cleanPath(path) : QString();
}

bool carriesLocalFiles(const QMimeData *mime)
{
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.cbegin(), urls.cend(), [](const QUrl &url) { return !droppedPath(url).isEmpty(); });
}

} // namespace

void FileWidget::setDropHighlighted(bool on)
{
    if (dropHighlighted == on)
        return;
    dropHighlighted = on;
    update();
}

// Only a drag that brings local files is taken, and the list shows it while the drag lasts.
void FileWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (!carriesLocalFiles(event->mimeData()))
        return;
    event->acceptProposedAction();
    setDropHighlighted(true);
}

void FileWidget::dragLeaveEvent(QDragLeaveEvent *event)
{
    Q_UNUSED(event);
    setDropHighlighted(false);
}

void FileWidget::dropEvent(QDropEvent *event)
{
    setDropHighlighted(false);
    QStringList paths;
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls) {
        const QString path = droppedPath(url);
        if (path.isEmpty())
            qCDebug(lcPanel) << "skipped" << url;
        else
            paths << path;
    }
    event->acceptProposedAction();
    // Taken once the drop is over: a message or a measurement shown within it kept the other
    // program waiting for the drop's end, and the next drag could go astray.
    QMetaObject::invokeMethod(
        this, [this, paths] { takeDropped(paths); }, Qt::QueuedConnection);
}

void FileWidget::takeDropped(const QStringList &paths)
{
    gatherRefusals([&] {
        for (const QString &path : paths) {
            qCDebug(lcPanel) << "dropped" << path;
            emit initDestinationPath(path);
            offer(path);
        }
    });
}
