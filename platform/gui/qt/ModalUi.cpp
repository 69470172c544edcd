// What the backend asks the user itself: message boxes, the open and save
// file dialogs and popup menus.

#include <QAbstractButton>
#include <QActionGroup>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <map>

#include "platform/device/DeviceDirectory.h"
#include "platform/gui/CommDlg.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/qt/FrameWidget.h"
#include "platform/gui/qt/QtBackend.h"
#include "platform/gui/qt/QtText.h"

namespace ce::gui::qt {
namespace {

// What a message box needs across besides its icon and text: margins and spacing.
constexpr int kMessageBoxFrame = 64;

struct Choice {
    int id;
    QMessageBox::StandardButton button;
};

std::vector<Choice> ChoicesOf(UINT type) {
    switch (type) {
        case MB_OKCANCEL:
            return {{IDOK, QMessageBox::Ok}, {IDCANCEL, QMessageBox::Cancel}};
        case MB_ABORTRETRYIGNORE:
            return {{IDABORT, QMessageBox::Abort},
                    {IDRETRY, QMessageBox::Retry},
                    {IDIGNORE, QMessageBox::Ignore}};
        case MB_YESNOCANCEL:
            return {{IDYES, QMessageBox::Yes},
                    {IDNO, QMessageBox::No},
                    {IDCANCEL, QMessageBox::Cancel}};
        case MB_YESNO:
            return {{IDYES, QMessageBox::Yes}, {IDNO, QMessageBox::No}};
        case MB_RETRYCANCEL:
            return {{IDRETRY, QMessageBox::Retry}, {IDCANCEL, QMessageBox::Cancel}};
        default:
            return {{IDOK, QMessageBox::Ok}};
    }
}

QMessageBox::Icon IconOf(UINT style) {
    switch (style & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The device's files/ folder, where paths beginning with "\" live.
QString DeviceFilesFolder() {
    return QString::fromStdString(device::HostPath(u"\\").lexically_normal().string());
}

QString HostFolderOf(const std::u16string& path) {
    if (path.empty())
        return QString::fromStdString(device::HostPath(u"\\My Documents").string());
    return QString::fromStdString(device::HostPath(path).string());
}

// A host path under files/ in the device's form ("\My Documents\a.bkp").
std::u16string DevicePathOf(const QString& chosen) {
    QString root = QDir::cleanPath(DeviceFilesFolder());
    QString path = QDir::cleanPath(chosen);
    if (path == root)
        return u"\\";
    if (!path.startsWith(root + u'/'))
        return ToWide(path);
    QString relative = path.mid(root.size());
    relative.replace(u'/', u'\\');
    return ToWide(relative);
}

QString FilterText(const std::pair<std::u16string, std::u16string>& filter) {
    QString description = ToQString(filter.first);
    QString patterns = ToQString(filter.second);
    patterns.replace(u';', u' ');
    patterns = patterns.simplified();
    if (description.endsWith(QStringLiteral("(") + patterns + QStringLiteral(")")))
        return description;
    return description + QStringLiteral(" (") + patterns + QStringLiteral(")");
}

void FillMenu(QtBackend& backend, QMenu& menu, HMENU source, HWND owner,
              std::map<QAction*, UINT>& commands) {
    menu.clear();
    int count = GetMenuItemCount(source);
    for (int i = 0; i < count; ++i) {
        UINT state = GetMenuState(source, static_cast<UINT>(i), MF_BYPOSITION);
        if (state == 0xFFFFFFFF)
            continue;
        // A popup's state carries its item count in the high byte, which can
        // look like the separator bit: test for the popup first.
        bool popup = (state & MF_POPUP) != 0;
        if (!popup && (state & MF_SEPARATOR) != 0) {
            menu.addSeparator();
            continue;
        }
        WCHAR text[256] = {};
        GetMenuStringW(source, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        QString label = ToQString(text);
        bool enabled = (state & (MF_GRAYED | MF_DISABLED)) == 0;
        if (popup) {
            HMENU sub = GetSubMenu(source, i);
            QMenu* child = menu.addMenu(label);
            child->setEnabled(enabled);
            QObject::connect(child, &QMenu::aboutToShow, child,
                             [&backend, child, sub, owner, &commands] {
                                 MenuAboutToOpen(owner, sub);
                                 FillMenu(backend, *child, sub, owner, commands);
                             });
            continue;
        }
        QAction* action = menu.addAction(label);
        action->setEnabled(enabled);
        if ((state & MF_CHECKED) != 0) {
            action->setCheckable(true);
            action->setChecked(true);
            if ((state & MFT_RADIOCHECK) != 0) {
                auto* group = new QActionGroup(action);
                group->addAction(action);
            }
        }
        commands[action] = GetMenuItemID(source, i);
    }
}

// Breaks `text` into lines no wider than `width`, at blanks where it can.
QString WrapToWidth(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split(u'\n')) {
        QString line;
        for (const QString& word : paragraph.split(u' ')) {
            QString candidate = line.isEmpty() ? word : line + u' ' + word;
            if (line.isEmpty() || metrics.horizontalAdvance(candidate) <= width) {
                line = candidate;
            } else {
                lines << line;
                line = word;
            }
            // A word wider than the room is cut where it must be.
            while (metrics.horizontalAdvance(line) > width && line.size() > 1) {
                qsizetype fits = 1;
                while (fits < line.size() &&
                       metrics.horizontalAdvance(line.left(fits + 1)) <= width)
                    ++fits;
                lines << line.left(fits);
                line = line.mid(fits);
            }
        }
        lines << line;
    }
    return lines.join(u'\n');
}

}  // namespace

int QtBackend::ShowMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(DialogParent(request.owner));
    box.setWindowTitle(ToQString(request.caption.empty() ? u"Tessaly" : request.caption));
    box.setIcon(IconOf(request.style));
    // The box fits on the device's screen: its text is broken to the width
    // left beside the icon, not to the desktop's.
    int iconWidth =
        box.iconPixmap().isNull() ? 0 : box.iconPixmap().deviceIndependentSize().width();
    int frame = screen_.dpi > 96 ? (kMessageBoxFrame * screen_.dpi + 48) / 96 : kMessageBoxFrame;
    int room = std::max(80, screen_.width - iconWidth - frame);
    box.setText(WrapToWidth(ToQString(request.text), QFontMetrics(box.font()), room));
    box.setTextFormat(Qt::PlainText);
    std::vector<Choice> choices = ChoicesOf(request.style & MB_TYPEMASK);
    std::map<QAbstractButton*, int> ids;
    for (const Choice& choice : choices)
        ids[box.addButton(choice.button)] = choice.id;
    std::size_t preferred = (request.style & MB_DEFMASK) == MB_DEFBUTTON2   ? 1
                            : (request.style & MB_DEFMASK) == MB_DEFBUTTON3 ? 2
                                                                            : 0;
    if (preferred >= choices.size())
        preferred = 0;
    box.setDefaultButton(choices[preferred].button);
    KeepOnDevice(&box, request.owner);
    // Escape and the window's close button give the safe answer.
    int safe = SafeAnswer(request.style);
    for (const Choice& choice : choices) {
        if (choice.id == safe)
            box.setEscapeButton(box.button(choice.button));
    }
    box.exec();
    auto it = ids.find(box.clickedButton());
    NoteInput();
    return it != ids.end() ? it->second : safe;
}

std::optional<std::u16string> QtBackend::ChooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(DialogParent(request.owner));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (request.save && (request.flags & OFN_OVERWRITEPROMPT) == 0)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const auto& filter : request.filters)
        filters << FilterText(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.filterIndex < static_cast<std::size_t>(filters.size()))
            dialog.selectNameFilter(filters[static_cast<qsizetype>(request.filterIndex)]);
    }
    QString extension = ToQString(request.defaultExtension);
    if (extension.startsWith(QStringLiteral("*.")))
        extension = extension.mid(2);
    if (!extension.isEmpty() && !extension.contains(u'*'))
        dialog.setDefaultSuffix(extension);
    // The name may carry a folder: a device path or a host path.
    std::u16string name = request.initialName;
    std::u16string folder = request.initialDirectory;
    std::size_t slash = name.find_last_of(u"\\/");
    if (slash != std::u16string::npos) {
        if (folder.empty())
            folder = name.substr(0, slash == 0 ? 1 : slash);
        name = name.substr(slash + 1);
    }
    QDir start(HostFolderOf(folder));
    if (!start.exists())
        start = QDir(DeviceFilesFolder());
    dialog.setDirectory(start);
    // A bare pattern (".bkp", "*.bkp") is no name to offer.
    if (!name.empty() && name.front() != u'.' && name.front() != u'*')
        dialog.selectFile(ToQString(name));
    KeepOnDevice(&dialog, request.owner);
    int result = dialog.exec();
    NoteInput();
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return DevicePathOf(dialog.selectedFiles().front());
}

QPoint QtBackend::PopupPosition(const PopupMenuRequest& request, QSize size) const {
    QPoint at = ToGlobal(request.owner, request.screenPoint);
    if ((request.flags & TPM_RIGHTALIGN) != 0)
        at.rx() -= size.width();
    else if ((request.flags & TPM_CENTERALIGN) != 0)
        at.rx() -= size.width() / 2;
    if ((request.flags & TPM_BOTTOMALIGN) != 0)
        at.ry() -= size.height();
    else if ((request.flags & TPM_VCENTERALIGN) != 0)
        at.ry() -= size.height() / 2;
    // The menu stays on the device's screen, as the device would keep it.
    FrameWidget* frame = FrameOf(request.owner);
    if (frame == nullptr || !shellStrip_)
        return at;
    QRect screen(frame->mapToGlobal(QPoint(0, 0)), frame->size());
    at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - size.width())));
    at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - size.height())));
    return at;
}

UINT QtBackend::TrackPopupMenu(const PopupMenuRequest& request) {
    QMenu menu(DialogParent(request.owner));
    std::map<QAction*, UINT> commands;
    FillMenu(*this, menu, request.menu, request.owner, commands);
    QAction* chosen = menu.exec(PopupPosition(request, menu.sizeHint()));
    NoteInput();
    auto it = commands.find(chosen);
    return it != commands.end() ? it->second : 0;
}

}  // namespace ce::gui::qt
