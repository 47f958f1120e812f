// Which of the program's windows the user works in, by the X11 window manager's record while one keeps it.
#pragma once

#include "platform/Platform.h"

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <cstdint>

// A window manager that keeps a window behind another program's (focus-stealing prevention) may
// still let Qt believe the window active; its own record on the root window, _NET_ACTIVE_WINDOW, is
// what the user sees. The record is written after the focus has moved, so it is followed by its
// own changes (the root window's PropertyNotify), never read at Qt's focus change. It is believed
// only while the window manager that keeps it lives: one that exits leaves its record behind, and
// its _NET_SUPPORTING_WM_CHECK window, which names itself while it runs, goes. Without a living
// window manager, and off X11, Qt's focus window answers.
class WindowManager : public FocusWitness, private QAbstractNativeEventFilter
{
public:
    explicit WindowManager(QObject *parent = nullptr);
    ~WindowManager() override;

    // Round trips to the X server only the first time, and when the window manager changes.
    QWindow *userWindow() override;

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    // Follows the root window's properties and finds the window manager.
    void start();
    // The window manager's check window, if it lives, names itself and the manager lists
    // _NET_ACTIVE_WINDOW among what it supports; followed until it goes.
    void readManager();
    void readRecord();
    // Tells the listeners when the answer has changed.
    void tell();

    enum class Record {
        // Nobody has asked yet: the start of the program makes no round trip.
        Unread,
        // No living window manager keeps one, or this is not X11: Qt's focus answers.
        Unkept,
        Kept,
    };
    Record record = Record::Unread;
    void *connection = nullptr;
    std::uint32_t root = 0;
    std::uint32_t activeAtom = 0;
    std::uint32_t checkAtom = 0;
    std::uint32_t supportedAtom = 0;
    // The living window manager's check window.
    std::uint32_t manager = 0;
    // The X id that the record names; 0 for none.
    std::uint32_t named = 0;
    QPointer<QWindow> told;
};
