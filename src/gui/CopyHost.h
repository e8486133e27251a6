#pragma once

#include "core/copy/CopyMessages.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class QWidget;
class TiPod;

// The copy's choices beyond overwriting.
struct TCopyChoices {
    std::string layout = "{title}"; // where copies go below the target folder
    bool skipExisting = false;
    bool writePlaylists = false; // one NAME.m3u8 per playlist after the job
};

// What the copy side of a job needs of the window it serves: the library and the selection a
// job is made of, the overwrite setting, and the controls a job shows itself in. The worker's
// messages reach the copy side through the window (the TCopyMessages part), on its thread.
class TCopyHost : public TCopyMessages {
public:
    // The parent of the dialogs and the report.
    virtual QWidget* HostWindow() = 0;
    virtual const TiPod& Library() const = 0;
    // Library indices of the selected rows, in table order.
    virtual std::vector<std::int32_t> SelectedTracks() const = 0;
    virtual bool OverwriteSetting() const = 0;
    virtual TCopyChoices CopyChoices() const = 0;
    virtual bool IsCopying() const = 0;
    // The copying state and the Copy/Stop caption that shows it.
    virtual void SetCopying(bool copying) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void SetProgressMax(int maximum) = 0;
    virtual void ShowCopyStatus(const std::string& text) = 0;
    // Players in the selector, for the status after a job.
    virtual std::size_t PlayerCount() const = 0;
};
