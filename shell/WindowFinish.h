#pragma once

class QListWidget;
class QWidget;

// Finishing touches every window gets once it is built, so that the controls Qt draws
// sit well in the painted skins.
namespace WindowFinish {

// Combo boxes without Qt's own drop-down arrow (the skin paints the button beside
// each), and lists that show whole rows only.
void Apply(QWidget* window);

// Makes `list` a whole number of rows high, never higher than it was, so that no row
// is cut by the list's bottom edge.
void FitToWholeRows(QListWidget* list);

} // namespace WindowFinish
