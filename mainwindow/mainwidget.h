// SPDX-License-Identifier: MIT
#pragma once

#include <QFileDialog>
#include <QPixmap>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <functional>

class AdvWidget;
class CompressionJob;
class FileWidget;
class HeaderWidget;
class NoticeBox;
class PathButton;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The main window: title bar, file list, size line, destination row, banner and the two
// action buttons. It wires the parts together and runs the compression job.
class MainWidget : public QWidget
{
    Q_OBJECT
public:
    // Seams for the two file dialogs, so tests can answer them without a native dialog.
    using OpenDialog = std::function<QStringList(QWidget *parent)>;
    // The save dialog starts on `start`: its folder, its name selected.
    using SaveDialog = std::function<QString(QWidget *parent, const QString &start)>;

    explicit MainWidget(QWidget *parent = nullptr);
    ~MainWidget() override;

    void setOpenDialog(OpenDialog dialog);
    void setSaveDialog(SaveDialog dialog);

    // The archive path for a name typed in the save dialog: ".7z" added when it has no extension.
    static QString withArchiveSuffix(const QString &path);
    // The size line for a total in megabytes: whole kilobytes, rounded up, below one megabyte, else
    // megabytes to two decimals.
    static QString sizeText(float size);
    // The open dialog's filter and options: every file, with or without an extension.
    static QString openFilter();
    static QFileDialog::Options openOptions();

signals:
    void addFiles(QStringList paths);
    void resized();

public slots:
    void onBrowseForFilesClicked();
    void onSizeChanged(float size);
    void onCancelClicked();
    void onCompressClicked();
    void onError(QString error, QString informative = QString());
    void onBrowseDestinationFolderClicked();
    void onMoveEvent(QPoint pt);
    void onDestinationPathInit(QString filePath);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QVBoxLayout *createContentColumn();
    QWidget *createSizeBlock();
    QWidget *createDestinationRow();
    QWidget *createBottomRow();
    void setupTabOrder();
    void connectParts();
    void showMessage(const QString &text, const QString &informative = QString());
    void showSuccess(const QString &archivePath);
    bool refusesWorkFolder(const QString &archivePath);
    static QString documentsFolder();
    static bool isTaken(const QString &path);
    void fitToScreen();

    QLabel *sizeInfoLabel = nullptr;
    HeaderWidget *header = nullptr;
    FileWidget *fileWidget = nullptr;
    AdvWidget *advWidget = nullptr;
    QPushButton *browseButton = nullptr;
    QPushButton *compressButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QWidget *destinationRow = nullptr;
    PathButton *destinationButton = nullptr;
    NoticeBox *messageBox = nullptr;

    CompressionJob *job = nullptr;
    OpenDialog openDialog;
    SaveDialog saveDialog;
    // A destination picked in the save dialog stays until the list empties.
    bool destinationChosen = false;
    // A default destination was set for the entries listed now; it too stays until the list empties.
    bool destinationSet = false;
    // The name Parcelo made up before it gave way to a free one ("Holiday.7z" for "Holiday (2).7z").
    QString defaultDestination;
    QPixmap background;
};
