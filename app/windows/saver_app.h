#pragma once

#include <cstdint>

#include "display/windows/display_app.h"
#include "saver/command_switch.h"
#include "scene/leaf_scene.h"

namespace wendrel {

// The saver's application object: start-up, the stored setting, the scene
// and the configuration dialog.
class CSaverApp : public display::CDisplayApp {
  public:
    CSaverApp();
    ~CSaverApp() override;

    BOOL InitInstance() override;

    // Start-up from an argument vector (argument 0 is the program).
    BOOL StartUp(int argc, char* const* argv);

    // The mode of the command line's first argument (ChooseSaverMode,
    // saver/command_switch.h).
    static ESaverMode ChooseMode(int argc, char* const* argv);
    // The preview's parent window from its decimal handle: null unless the
    // text is a number naming an existing window.
    static HWND ParentFromArgument(const char* text);

    void RunConfigDialog();

    std::int32_t m_bNoDirect = 0;
    CLeafScene m_scene;

  private:
    BOOL StartPreview(const char* parentArgument);
    BOOL StartFullScreen();
    // Starts the animation thread over m_scene; FALSE when it cannot run.
    BOOL StartThread();
};

}  // namespace wendrel
