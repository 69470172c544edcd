#include "platform/gui/qt/NativePeers.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextBlock>

#include "platform/gui/NativeEvents.h"
#include "platform/gui/qt/QtBackend.h"
#include "platform/gui/qt/QtText.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui::qt {
namespace {

DWORD StyleOf(HWND window) {
    Window* w = Peek(window);
    return w != nullptr ? w->style : 0;
}

std::u16string TextOf(HWND window) {
    Window* w = Peek(window);
    return w != nullptr ? w->text : std::u16string();
}

QString MultiLineText(std::u16string_view text) {
    QString out = ToQString(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

std::u16string CoreMultiLineText(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\n', QStringLiteral("\r\n"));
    return ToWide(out);
}

// A button reverts to core's check state at once: core decides what a click does.
void ShowCheck(QAbstractButton* button, UINT check) {
    QSignalBlocker block(button);
    if (auto* box = qobject_cast<QCheckBox*>(button)) {
        box->setTristate(check == BST_INDETERMINATE || box->isTristate());
        box->setCheckState(check == BST_CHECKED         ? Qt::Checked
                           : check == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                        : Qt::Unchecked);
    } else {
        button->setChecked(check == BST_CHECKED);
    }
}

void ConnectButton(QtBackend& backend, HWND window, QAbstractButton* button) {
    QObject::connect(button, &QAbstractButton::clicked, button, [&backend, window, button] {
        ShowCheck(button, GetControlValue(window).check);
        ControlClicked(window);
        backend.NoteInput();
    });
}

void ReportSelection(HWND window, QLineEdit* edit) {
    int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    int end = edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
    ControlSelectionChanged(window, start, end);
}

void ReportSelection(HWND window, QPlainTextEdit* edit) {
    std::u16string text = TextOf(window);
    QTextCursor cursor = edit->textCursor();
    ControlSelectionChanged(window, ToCorePosition(text, cursor.selectionStart()),
                            ToCorePosition(text, cursor.selectionEnd()));
}

QWidget* CreateEdit(QtBackend& backend, HWND window, QWidget* parent) {
    DWORD style = StyleOf(window);
    if ((style & ES_MULTILINE) != 0) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setTabChangesFocus(true);
        edit->setLineWrapMode((style & WS_HSCROLL) != 0 ? QPlainTextEdit::NoWrap
                                                        : QPlainTextEdit::WidgetWidth);
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [&backend, window, edit] {
            ControlTextEdited(window, CoreMultiLineText(edit->toPlainText()));
            backend.NoteInput();
        });
        QObject::connect(edit, &QPlainTextEdit::cursorPositionChanged, edit,
                         [window, edit] { ReportSelection(window, edit); });
        QObject::connect(edit, &QPlainTextEdit::selectionChanged, edit,
                         [window, edit] { ReportSelection(window, edit); });
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    QObject::connect(edit, &QLineEdit::textEdited, edit, [&backend, window](const QString& text) {
        ControlTextEdited(window, ToWide(text));
        backend.NoteInput();
    });
    QObject::connect(edit, &QLineEdit::cursorPositionChanged, edit,
                     [window, edit] { ReportSelection(window, edit); });
    QObject::connect(edit, &QLineEdit::selectionChanged, edit,
                     [window, edit] { ReportSelection(window, edit); });
    return edit;
}

void SyncEdit(HWND window, QWidget* widget, unsigned changes) {
    DWORD style = StyleOf(window);
    ControlValue value = GetControlValue(window);
    std::u16string text = TextOf(window);
    bool framed = (style & WS_BORDER) != 0 ||
                  (Peek(window) != nullptr && (Peek(window)->exStyle & WS_EX_CLIENTEDGE) != 0);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QSignalBlocker block(edit);
        if ((changes & ChangedStyle) != 0) {
            edit->setReadOnly((style & ES_READONLY) != 0);
            edit->setEchoMode((style & ES_PASSWORD) != 0 ? QLineEdit::Password : QLineEdit::Normal);
            edit->setAlignment((style & ES_RIGHT) != 0    ? Qt::AlignRight
                               : (style & ES_CENTER) != 0 ? Qt::AlignHCenter
                                                          : Qt::AlignLeft);
            edit->setFrame(framed);
        }
        if ((changes & ChangedValue) != 0)
            edit->setMaxLength(value.textLimit > 0 ? value.textLimit : 32767);
        if ((changes & ChangedText) != 0 && edit->text() != ToQString(text))
            edit->setText(ToQString(text));
        if ((changes & (ChangedValue | ChangedText)) != 0) {
            int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
            int end = edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
            if (start != value.selectionStart || end != value.selectionEnd) {
                if (value.selectionEnd > value.selectionStart)
                    edit->setSelection(value.selectionStart,
                                       value.selectionEnd - value.selectionStart);
                else
                    edit->setCursorPosition(value.selectionStart);
            }
        }
        return;
    }
    auto* edit = qobject_cast<QPlainTextEdit*>(widget);
    if (edit == nullptr)
        return;
    QSignalBlocker block(edit);
    if ((changes & ChangedStyle) != 0) {
        edit->setReadOnly((style & ES_READONLY) != 0);
        edit->setFrameShape(framed ? QFrame::StyledPanel : QFrame::NoFrame);
    }
    if ((changes & ChangedText) != 0 && edit->toPlainText() != MultiLineText(text))
        edit->setPlainText(MultiLineText(text));
    if ((changes & (ChangedValue | ChangedText)) != 0) {
        QTextCursor cursor = edit->textCursor();
        int start = ToQtPosition(text, value.selectionStart);
        int end = ToQtPosition(text, value.selectionEnd);
        if (cursor.selectionStart() != start || cursor.selectionEnd() != end) {
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            edit->setTextCursor(cursor);
        }
    }
}

// A picker edits the date or the time part of core's value; the other part stays.
QWidget* CreatePicker(QtBackend& backend, HWND window, QWidget* parent, bool time) {
    QDateTimeEdit* edit = time ? static_cast<QDateTimeEdit*>(new QTimeEdit(parent))
                               : static_cast<QDateTimeEdit*>(new QDateEdit(parent));
    if (time)
        edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    else
        edit->setCalendarPopup(true);
    QObject::connect(edit, &QDateTimeEdit::dateTimeChanged, edit,
                     [&backend, window, time](const QDateTime& picked) {
                         SYSTEMTIME value = GetControlValue(window).time;
                         if (time) {
                             value.wHour = static_cast<WORD>(picked.time().hour());
                             value.wMinute = static_cast<WORD>(picked.time().minute());
                             value.wSecond = static_cast<WORD>(picked.time().second());
                         } else {
                             value.wYear = static_cast<WORD>(picked.date().year());
                             value.wMonth = static_cast<WORD>(picked.date().month());
                             value.wDay = static_cast<WORD>(picked.date().day());
                             value.wDayOfWeek = static_cast<WORD>(picked.date().dayOfWeek() % 7);
                         }
                         DateTimePicked(window, value);
                         backend.NoteInput();
                     });
    return edit;
}

void SyncPicker(HWND window, QWidget* widget) {
    auto* edit = qobject_cast<QDateTimeEdit*>(widget);
    if (edit == nullptr)
        return;
    SYSTEMTIME t = GetControlValue(window).time;
    QDateTime shown(QDate(t.wYear, t.wMonth, t.wDay), QTime(t.wHour, t.wMinute, t.wSecond));
    if (shown.isValid() && edit->dateTime() != shown) {
        QSignalBlocker block(edit);
        edit->setDateTime(shown);
    }
}

Qt::Alignment StaticAlignment(DWORD style) {
    DWORD kind = style & 0x1F;
    if (kind == SS_CENTER)
        return Qt::AlignHCenter | Qt::AlignTop;
    if (kind == SS_RIGHT)
        return Qt::AlignRight | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

}  // namespace

int ToQtPosition(std::u16string_view coreText, int position) {
    int breaks = 0;
    for (int i = 0; i + 1 < position && i + 1 < static_cast<int>(coreText.size()); ++i) {
        if (coreText[static_cast<std::size_t>(i)] == u'\r' &&
            coreText[static_cast<std::size_t>(i) + 1] == u'\n')
            ++breaks;
    }
    return position - breaks;
}

int ToCorePosition(std::u16string_view coreText, int position) {
    int qtIndex = 0;
    std::size_t i = 0;
    while (qtIndex < position && i < coreText.size()) {
        if (coreText[i] == u'\r' && i + 1 < coreText.size() && coreText[i + 1] == u'\n')
            ++i;
        ++i;
        ++qtIndex;
    }
    return static_cast<int>(i);
}

QWidget* CreateNativePeer(QtBackend& backend, HWND window, PeerKind kind, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (kind) {
        case PeerKind::PushButton: {
            auto* button = new QPushButton(parent);
            button->setAutoDefault(false);
            ConnectButton(backend, window, button);
            widget = button;
            break;
        }
        case PeerKind::CheckBox: {
            auto* box = new QCheckBox(parent);
            ConnectButton(backend, window, box);
            widget = box;
            break;
        }
        case PeerKind::RadioButton: {
            auto* radio = new QRadioButton(parent);
            radio->setAutoExclusive(false);
            ConnectButton(backend, window, radio);
            widget = radio;
            break;
        }
        case PeerKind::GroupBox: {
            auto* group = new QGroupBox(parent);
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            group->setFocusPolicy(Qt::NoFocus);
            widget = group;
            break;
        }
        case PeerKind::Edit:
            widget = CreateEdit(backend, window, parent);
            break;
        case PeerKind::Static: {
            auto* label = new QLabel(parent);
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            label->setTextFormat(Qt::PlainText);
            widget = label;
            break;
        }
        case PeerKind::DatePicker:
        case PeerKind::TimePicker:
            widget = CreatePicker(backend, window, parent, kind == PeerKind::TimePicker);
            break;
        case PeerKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        default:
            return nullptr;
    }
    SyncNativePeer(backend, window, kind, widget,
                   ChangedText | ChangedStyle | ChangedValue | ChangedFont);
    return widget;
}

void SyncNativePeer(QtBackend& backend, HWND window, PeerKind kind, QWidget* widget,
                    unsigned changes) {
    if (widget == nullptr || Peek(window) == nullptr)
        return;
    DWORD style = StyleOf(window);
    if ((changes & ChangedFont) != 0)
        widget->setFont(ToQFont(WindowFont(window), backend.Screen().dpi));
    switch (kind) {
        case PeerKind::PushButton:
        case PeerKind::CheckBox:
        case PeerKind::RadioButton: {
            auto* button = static_cast<QAbstractButton*>(widget);
            if ((changes & ChangedText) != 0)
                button->setText(ToQString(TextOf(window)));
            if ((changes & ChangedStyle) != 0) {
                if (auto* push = qobject_cast<QPushButton*>(button))
                    push->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
                if (auto* box = qobject_cast<QCheckBox*>(button)) {
                    DWORD type = style & BS_TYPEMASK;
                    box->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
                }
            }
            if ((changes & ChangedValue) != 0) {
                ControlValue value = GetControlValue(window);
                if (kind != PeerKind::PushButton)
                    ShowCheck(button, value.check);
                else
                    button->setDown(value.pushed);
            }
            break;
        }
        case PeerKind::GroupBox:
            if ((changes & ChangedText) != 0)
                static_cast<QGroupBox*>(widget)->setTitle(ToQString(TextOf(window)));
            break;
        case PeerKind::Edit:
            SyncEdit(window, widget, changes);
            break;
        case PeerKind::Static: {
            auto* label = static_cast<QLabel*>(widget);
            if ((changes & ChangedText) != 0) {
                QString text = ToQString(TextOf(window));
                label->setText((style & SS_NOPREFIX) != 0 ? text : WithoutPrefixes(text));
            }
            if ((changes & ChangedStyle) != 0) {
                label->setAlignment(StaticAlignment(style));
                label->setWordWrap((style & 0x1F) != SS_LEFTNOWORDWRAP);
            }
            break;
        }
        case PeerKind::ProgressBar:
            if ((changes & ChangedValue) != 0) {
                auto* bar = static_cast<QProgressBar*>(widget);
                ControlValue value = GetControlValue(window);
                bar->setRange(value.rangeLow, std::max(value.rangeLow, value.rangeHigh));
                bar->setValue(value.position);
            }
            break;
        case PeerKind::DatePicker:
        case PeerKind::TimePicker:
            if ((changes & ChangedValue) != 0)
                SyncPicker(window, widget);
            break;
        default:
            break;
    }
}

}  // namespace ce::gui::qt
