#include "app/windows/window_shell.h"

namespace pelmora::ui {

#define PELMORA_WINDOW(installer) void installer(WindowShell& shell);
#include "app/windows/window_list.h"
#undef PELMORA_WINDOW

void installWindows(WindowShell& shell) {
#define PELMORA_WINDOW(installer) installer(shell);
#include "app/windows/window_list.h"
#undef PELMORA_WINDOW
}

}  // namespace pelmora::ui
