// SPDX-License-Identifier: MIT
#include "mainwindow/mainwidget.h"

#include "advertising/advwidget.h"
#include "archiving/archivedestination.h"
#include "chrome/headerwidget.h"
#include "common/noticebox.h"
#include "common/styledbackground.h"
#include "files/filewidget.h"
#include "files/workfolder.h"
#include "files/workprogress.h"
#include "mainwindow/compressionjob.h"
#include "mainwindow/pathbutton.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>
#include <cstdlib>

namespace {
const QString emptySizeText = QStringLiteral("Total size: <b>0.0 MB</b> of 500MB limit");
} // namespace

MainWidget::MainWidget(QWidget *parent) : QWidget(parent)
{
    header = new HeaderWidget;
    // Adopted by the layout after the title bar, so that Tab reaches the list after the bar.
    fileWidget = new FileWidget;
    messageBox = new NoticeBox(this);
    advWidget = new AdvWidget(false, this);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    // The window's least size is the layout's, bounded by the screen: see fitToScreen().
    root->setSizeConstraint(QLayout::SetNoConstraint);
    root->addWidget(header, 0);
    root->addLayout(createContentColumn(), 0);

    for (QPushButton *button : {compressButton, cancelButton, browseButton}) {
        // Hover events only arrive with WA_Hover; the style sheet sets it for some buttons only.
        button->setAttribute(Qt::WA_Hover);
        button->installEventFilter(this);
    }
    setupTabOrder();
    // The first thing to do; a title bar icon with a focus frame at the start looked selected.
    browseButton->setFocus();
    // The help asks for files dragged into the window, not just onto the list.
    fileWidget->takeDropsOn(this);
    job = new CompressionJob(this);
    connectParts();

    openDialog = [](QWidget *owner) {
        return QFileDialog::getOpenFileNames(owner, QStringLiteral("Select one or more files to open"), QString(),
                                             openFilter(), nullptr, openOptions());
    };
    saveDialog = [](QWidget *owner, const QString &start) {
        return QFileDialog::getSaveFileName(owner, tr("Save File"), start, tr("7z files (*.7z)"));
    };
}

// The message box has no parent, so it goes with the window.
MainWidget::~MainWidget()
{
    delete messageBox;
}

void MainWidget::setOpenDialog(OpenDialog dialog)
{
    openDialog = std::move(dialog);
}

void MainWidget::setSaveDialog(SaveDialog dialog)
{
    saveDialog = std::move(dialog);
}

QVBoxLayout *MainWidget::createContentColumn()
{
    auto *column = new QVBoxLayout;
    column->setContentsMargins(47, 0, 40, 0);
    column->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));

    auto *hint = new QLabel(QStringLiteral("Drag & drop files to the list to compress multiple files at once."));
    hint->setObjectName(QStringLiteral("Drag_drop_text"));
    column->addWidget(hint, 0, Qt::AlignTop);
    column->addWidget(fileWidget, 0, Qt::AlignTop);
    column->addWidget(createSizeBlock(), 0, Qt::AlignTop);
    column->addItem(new QSpacerItem(40, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    column->addWidget(createBottomRow(), 1, Qt::AlignTop);
    return column;
}

QWidget *MainWidget::createSizeBlock()
{
    auto *block = new QWidget;
    auto *blockLayout = new QVBoxLayout(block);

    auto *sizeLine = new QHBoxLayout;
    browseButton = new QPushButton(QStringLiteral("Browse for files"));
    browseButton->setObjectName(QStringLiteral("Browse_for_files"));
    sizeLine->addWidget(browseButton, 0, Qt::AlignLeft);
    sizeInfoLabel = new QLabel(emptySizeText);
    sizeInfoLabel->setObjectName(QStringLiteral("Size_info"));
    sizeLine->addWidget(sizeInfoLabel, 0, Qt::AlignRight);
    blockLayout->addLayout(sizeLine, 0);

    blockLayout->addWidget(createDestinationRow(), 0);
    destinationRow->hide();
    return block;
}

QWidget *MainWidget::createDestinationRow()
{
    destinationRow = new QWidget;
    auto *rowLayout = new QHBoxLayout(destinationRow);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("Destination:"));
    label->setObjectName(QStringLiteral("Destination_path"));
    rowLayout->addWidget(label, 0, Qt::AlignLeft);
    destinationButton = new PathButton(QStringLiteral("C:/Users/username/Documents/compressed_files"));
    destinationButton->setObjectName(QStringLiteral("Destination_path"));
    // The sheet gives this button a transparent background but no border; the native style would
    // then paint its panel black behind the path.
    destinationButton->setStyleSheet(QStringLiteral("QPushButton { border: none; } "
                                                    "QPushButton:focus { background: #BCD1FF; border-radius: 4px; }"));
    rowLayout->addWidget(destinationButton, 1, Qt::AlignLeft);
    return destinationRow;
}

QWidget *MainWidget::createBottomRow()
{
    auto *row = new QWidget;
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    advWidget->setObjectName(QStringLiteral("Adv_widget"));
    rowLayout->addWidget(advWidget, 0, Qt::AlignLeft);
    rowLayout->addSpacing(10);
    cancelButton = new QPushButton(QStringLiteral("Cancel"));
    cancelButton->setObjectName(QStringLiteral("Cancel"));
    rowLayout->addWidget(cancelButton, 1, Qt::AlignRight);
    rowLayout->addSpacing(10);
    compressButton = new QPushButton(QStringLiteral("Compress"));
    compressButton->setObjectName(QStringLiteral("Compress"));
    rowLayout->addWidget(compressButton, 0, Qt::AlignRight);
    return row;
}

// Tab follows the window from top to bottom: the banner joined the window before the rows above it.
void MainWidget::setupTabOrder()
{
    if (auto *bannerButton = advWidget->findChild<QPushButton *>()) {
        setTabOrder(destinationButton, bannerButton);
        setTabOrder(bannerButton, cancelButton);
    }
}

void MainWidget::connectParts()
{
    connect(browseButton, &QPushButton::clicked, this, &MainWidget::onBrowseForFilesClicked);
    connect(this, &MainWidget::addFiles, fileWidget, &FileWidget::addFiles);
    connect(fileWidget, &FileWidget::sizeChanged, this, &MainWidget::onSizeChanged);
    connect(cancelButton, &QPushButton::clicked, this, &MainWidget::onCancelClicked);
    connect(compressButton, &QPushButton::clicked, this, &MainWidget::onCompressClicked);
    connect(fileWidget, &FileWidget::sizeExceeded, this, &MainWidget::onError);
    connect(fileWidget, &FileWidget::initDestinationPath, this, &MainWidget::onDestinationPathInit);
    connect(destinationButton, &QPushButton::clicked, this, &MainWidget::onBrowseDestinationFolderClicked);
    connect(header, &HeaderWidget::moveWindow, this, &MainWidget::onMoveEvent);
}

void MainWidget::onBrowseForFilesClicked()
{
    const QStringList paths = openDialog(this);
    if (paths.isEmpty())
        return;
    onDestinationPathInit(paths.first());
    emit addFiles(paths);
}

void MainWidget::onSizeChanged(float size)
{
    // The row shows exactly while something is listed: a refused first file leaves it hidden.
    const bool listed = !fileWidget->getFiles().isEmpty();
    destinationRow->setVisible(listed || fileWidget->isRebuilding());
    if (!listed && !fileWidget->isRebuilding()) {
        destinationChosen = false;
        destinationSet = false;
    }

    sizeInfoLabel->setText(sizeText(size));
}

QString MainWidget::sizeText(float size)
{
    if (size == 0.0f)
        return emptySizeText;
    const float kilobytes = size * 1024.0f;
    // Rounded up, so that a file of a few bytes never reads as 0 KB.
    if (kilobytes < 1024.0f)
        return QStringLiteral("Total size: <b>%1 KB</b> of 500MB limit").arg(int(kilobytes) + 1);
    const float megabytes = std::round(size * 100.0f) / 100.0f;
    return QStringLiteral("Total size: <b>%1 MB</b> of 500MB limit").arg(QString::number(megabytes, 'g', 6));
}

QString MainWidget::documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void MainWidget::onCancelClicked()
{
    std::exit(0);
}

void MainWidget::onCompressClicked()
{
    const QStringList files = fileWidget->getFiles();
    if (files.isEmpty()) {
        showMessage(QStringLiteral("Please select at least one file to compress"));
        return;
    }

    QString archivePath = destinationButton->path();
    // A relative path would land wherever the program happens to run.
    if (!QDir::isAbsolutePath(archivePath)) {
        showMessage(QStringLiteral("The destination is not a full path. Click it and choose where the archive goes."));
        return;
    }
    // The copies' folder may have moved, or a link to it come, since the destination was chosen.
    if (refusesWorkFolder(archivePath))
        return;
    if (isTaken(archivePath)) {
        // A name Parcelo made up gives way, as when the same folder is packed twice; one the user
        // chose is never changed.
        const QString free =
            destinationChosen ? archivePath : ArchiveDestination::firstFree(defaultDestination, &MainWidget::isTaken);
        if (free == archivePath) {
            showMessage(QStringLiteral("File with this name already exists"),
                        QStringLiteral("Click the destination path to choose another name."));
            return;
        }
        archivePath = free;
        destinationButton->setPath(archivePath);
    }

    // Listed entries may have grown, gone or been swapped for a link since they were added.
    QList<EntryScan> scans;
    const QString changed = fileWidget->checkEntriesAgain(&scans);
    if (!changed.isEmpty()) {
        showMessage(changed);
        return;
    }

    // Made only for an archive that goes there, as the default destination may.
    const QString documentsArchives = ArchiveDestination::documentsArchives(documentsFolder());
    if (QFileInfo(archivePath).absolutePath() == documentsArchives)
        QDir().mkpath(documentsArchives); // where it cannot be made, the archiver says so

    const CompressionJob::Result result = job->run(archivePath, files, this, scans);
    switch (result.outcome) {
    case CompressionJob::Outcome::Succeeded:
        showSuccess(archivePath);
        fileWidget->removeAllFiles();
        // The archive is made; copies that cannot be removed now wait for a later run.
        WorkFolder::remove(WorkProgress::aside(this, QStringLiteral("Removing the renamed copies...")));
        break;
    case CompressionJob::Outcome::AccessDenied:
        showMessage(QStringLiteral("You are unable to save the file in the specified destination. To resolve this, "
                                   "kindly choose another folder for the archive."),
                    result.cause);
        break;
    case CompressionJob::Outcome::Exists:
        showMessage(QStringLiteral("File with this name already exists"),
                    QStringLiteral("Something else was saved as %1 while Parcelo packed; it was left as it is.")
                        .arg(QDir::toNativeSeparators(archivePath)));
        break;
    case CompressionJob::Outcome::Failed:
        showMessage(QStringLiteral("Compression failed!"), result.cause);
        break;
    case CompressionJob::Outcome::Cancelled:
        break;
    }
    advWidget->showWithCountdown(10);
}

void MainWidget::showSuccess(const QString &archivePath)
{
    messageBox->setMessage(QStringLiteral("Compression finished successfully!"),
                           QStringLiteral("7z file is saved in ") + QDir::toNativeSeparators(archivePath),
                           QMessageBox::Ok | QMessageBox::Yes);
    messageBox->button(QMessageBox::Yes)->setText(QStringLiteral("Open"));
    // Enter only acknowledges; opening the folder is a choice.
    messageBox->setDefaultButton(QMessageBox::Ok);
    if (messageBox->exec() == QMessageBox::Yes)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(archivePath).absolutePath()));
}

void MainWidget::onError(QString error, QString informative)
{
    showMessage(error, informative);
}

void MainWidget::showMessage(const QString &text, const QString &informative)
{
    messageBox->setMessage(text, informative);
    messageBox->exec();
}

void MainWidget::onBrowseDestinationFolderClicked()
{
    const QString path = saveDialog(this, destinationButton->path());
    if (path.isEmpty() || refusesWorkFolder(path))
        return;
    destinationButton->setPath(withArchiveSuffix(path));
    destinationChosen = true;
}

// The archive would go with the copies after packing.
bool MainWidget::refusesWorkFolder(const QString &archivePath)
{
    const QString copies = WorkFolder::sharedPath();
    if (!ArchiveDestination::isWithin(archivePath, copies))
        return false;
    showMessage(QStringLiteral("Please choose another folder for the archive."),
                QStringLiteral("Parcelo keeps its temporary copies in %1 and removes them after packing.")
                    .arg(QDir::toNativeSeparators(copies)));
    return true;
}

QString MainWidget::withArchiveSuffix(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return path;
    // "pack." is "pack" to Windows, which drops a trailing dot.
    return path + (name.endsWith(QLatin1Char('.')) ? QStringLiteral("7z") : QStringLiteral(".7z"));
}

void MainWidget::onMoveEvent(QPoint pt)
{
    move(x() + pt.x(), y() + pt.y());
}

void MainWidget::onDestinationPathInit(QString filePath)
{
    if (!fileWidget->getFiles().isEmpty() || destinationChosen)
        return;
    // A removal lists the rest again; the archive stays where it was going until the list empties.
    if (destinationSet && fileWidget->isRebuilding())
        return;
    defaultDestination = ArchiveDestination::defaultFor(filePath, documentsFolder(), WorkFolder::path());
    destinationButton->setPath(ArchiveDestination::firstFree(defaultDestination, &MainWidget::isTaken));
    destinationSet = true;
}

bool MainWidget::eventFilter(QObject *watched, QEvent *event)
{
    for (QPushButton *button : {compressButton, cancelButton, browseButton}) {
        if (watched != button)
            continue;
        if (event->type() == QEvent::HoverEnter)
            button->setCursor(Qt::PointingHandCursor);
        else if (event->type() == QEvent::HoverLeave)
            button->setCursor(Qt::ArrowCursor);
    }
    return QWidget::eventFilter(watched, event);
}

// Outside a dialog no button takes Return; here it presses the focused one, as Space does.
void MainWidget::keyPressEvent(QKeyEvent *event)
{
    auto *button = qobject_cast<QAbstractButton *>(focusWidget());
    if (button && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        button->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The sheet's picture repeats with a seam once the window outgrows it; from there on it is drawn
// scaled up to cover the window instead.
void MainWidget::paintEvent(QPaintEvent *event)
{
    if (background.isNull())
        background = QPixmap(QStringLiteral(":/qrc/background.png"));
    const QSize picture = background.size();
    if (picture.isEmpty() || (width() <= picture.width() && height() <= picture.height())) {
        paintStyledBackground(this);
    } else {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRect(QPoint(0, 0), picture.scaled(size(), Qt::KeepAspectRatioByExpanding)), background);
    }
    QWidget::paintEvent(event);
}

// A dangling link counts too: the archiver would write wherever it points.
bool MainWidget::isTaken(const QString &path)
{
    const QFileInfo archive(path);
    return archive.exists() || archive.isSymLink();
}

// "*.*" matches only names with a dot outside Windows; the label stays, the pattern is "*".
QString MainWidget::openFilter()
{
    return QStringLiteral("All files (*.*) (*)");
}

QFileDialog::Options MainWidget::openOptions()
{
    return QFileDialog::HideNameFilterDetails;
}

// Nothing the window shows may make it wider or taller than the screen's free area: its least size
// is the layout's bounded by that area, and a window that grows for its content stays inside it.
void MainWidget::fitToScreen()
{
    const QScreen *shownOn = screen();
    if (!shownOn || !layout())
        return;
    const QRect available = shownOn->availableGeometry();
    const QRect before = geometry();
    setMinimumSize(layout()->minimumSize().boundedTo(available.size()));
    if (!isVisible() || isMaximized() || isFullScreen() || geometry().size() == before.size())
        return;
    QRect now = geometry();
    now.moveRight(std::min(now.right(), available.right()));
    now.moveBottom(std::min(now.bottom(), available.bottom()));
    now.moveLeft(std::max(now.left(), available.left()));
    now.moveTop(std::max(now.top(), available.top()));
    move(now.topLeft());
}

bool MainWidget::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show ||
        event->type() == QEvent::ScreenChangeInternal)
        fitToScreen();
    return handled;
}

void MainWidget::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
}

void MainWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
}
