// SPDX-License-Identifier: MIT
#pragma once

#include "common/entryscan.h"
#include "files/entrycopy.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QPushButton;
class QToolButton;
class QLabel;
class QPixmap;
class QFont;
class QFontMetrics;

// Shows one chosen file as an 88 x 88 card: its type icon with a remove button, its name (cut
// short when too wide) and its size. Renaming makes a copy under the new name in the working
// folder and switches the tile to it; the user's own file is never touched. The tile remembers
// what it listed (a file or a folder, a link or not), so a later change can be noticed.
class SingleFileWidget : public QWidget
{
    Q_OBJECT
public:
    // Asks for a new name, starting from `text` with its first `selected` characters selected; no
    // value when the user cancelled.
    using NameDialog = std::function<std::optional<QString>(QWidget *parent, const QString &text, qsizetype selected)>;

    // Measures the entry itself.
    explicit SingleFileWidget(QString path, QWidget *parent = nullptr);
    // Takes the list's measurement of the entry, which may have been cut short past the limit.
    SingleFileWidget(QString path, const EntryScan &measured, QWidget *parent = nullptr);

    QString getName() const;
    float getSize() const;
    // Exact, for the limit: a float in megabytes cannot tell 500 MB from 10 bytes more.
    qint64 getBytes() const { return bytes; }
    // The tile's controls in the order Tab visits them: remove, then rename.
    QList<QWidget *> focusOrder() const;
    EntryScan::Kind listedKind() const { return kind; }
    bool listedAsLink() const { return isLink; }

    // Takes a new measurement of the entry at the current path, as a new tile for that path
    // would: name, size, icon, and that it is a file this tile did not make. The list reuses its
    // tiles this way.
    void reload(const EntryScan &measured);

    void setNameDialog(NameDialog dialog);
    // The dialog the tile and the list ask with unless a test gives another.
    static std::optional<QString> askForName(QWidget *parent, const QString &text, qsizetype selected);
    // A modal box for a refused add or rename, shared by the tile and the list.
    static void showNotice(const QString &text, const QString &informative = QString());

    // One plain file name that Windows can hold: the copy must land in the working folder itself,
    // and the archive is unpacked on Windows.
    static bool isPlainFileName(const QString &name);
    static QString invalidNameMessage();

    // The size text for a byte count ("1KB", "1023KB", "1.91MB").
    static QString sizeText(float bytes);
    // The name as the name button shows it, measured in `metrics`: whole when it fits, otherwise its
    // first and last five characters (fewer when that is still too wide) around "...". It is cut
    // between whole characters as the reader sees them, and never so that a dot meets the dots.
    static QString shownName(const QString &name, const QFontMetrics &metrics);
    // The font the name is shown in.
    static QFont nameFont();

    // The picture a tile shows for a file: one of the bundle's for PDF, image and word-processor
    // names, the system's icon for that file otherwise.
    static QPixmap typeIcon(const QString &fileName, const QString &filePath);

signals:
    void clicked(QString filePath);
    void clickedForRename();
    void filePathChanged(QString oldPath, QString newPath);

public slots:
    void onFileClicked();
    void setName(QString fileName);
    void makeFileCopy(QString newFileName);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void readFileInfo(const EntryScan &measured);
    void createContents();
    QWidget *createIconRow();
    QLabel *createIconLabel();
    QLabel *createSizeLabel();
    void setupNameButton();
    EntryCopy::Result copyTo(const QString &newPath);
    void refuseCopy(const QString &message, const QString &informative = QString());

    QPushButton *nameButton = nullptr;
    QToolButton *removeButton = nullptr;
    QLabel *iconLabel = nullptr;
    QLabel *sizeLabel = nullptr;
    QString iconFileName;
    QString fileName;
    // The name the entry was listed under, before any rename.
    QString originalName;
    QString filePath;
    qint64 bytes = 0;
    bool isOriginal = true;
    EntryScan::Kind kind = EntryScan::Kind::Missing;
    bool isLink = false;

    NameDialog nameDialog;
};
