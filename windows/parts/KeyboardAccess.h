#pragma once

class QDialog;
class QLabel;
class QWidget;

// Keyboard use of the skinned windows. Labels and pictures that act as buttons (the
// ones that show the hand cursor) take the focus, carry the button role for screen
// readers, show a focus mark in the skin's colours and answer Enter and Space with the
// same click the mouse gives, so that the windows' own click handlers run unchanged.
// Tab and Shift+Tab walk every window's controls in reading order.
namespace KeyboardAccess {

// Makes the button labels of `window` (and of the windows laid over it or opened from
// it) reachable from the keyboard and orders Tab through them in reading order: rows
// from top to bottom, left to right within a row. Called once, when the windows exist.
void PrepareWindow(QWidget* window);

// True for a label or picture that acts as a button.
bool IsButtonLabel(const QWidget* widget);

// Turns `label` into a button for the keyboard and screen readers, or back (`reachable`
// false: a picture that answers the mouse only, such as one whose click depends on
// where it falls).
void SetButtonLabel(QLabel* label, bool reachable);

// The click of a button label, as the mouse gives it: pressed and let go over its middle.
void ClickButtonLabel(QWidget* label);

// Marks `label` as the selector of one page of a tab strip (a page tab to a screen
// reader), `current` for the page shown; and `strip` as the strip holding them.
void SetPageTab(QLabel* label, bool current);
void SetPageTabList(QWidget* strip);
bool IsPageTab(const QWidget* widget);

// Runs one of Qt's own dialogs (a file dialog) modally, and then gives the keyboard back
// to the control that had it and activates its window, as the program's own modal
// windows do: without a window manager nobody else does. Returns what exec() returns.
int ExecReturningFocus(QDialog& dialog);

// Installs the keys, the focus mark and the button role for the whole program; safe to
// call more than once.
void Install();

} // namespace KeyboardAccess
