#include "monitor/monitor_view.h"

#include <cstdio>
#include <cstring>

namespace {

bool validId(int id) { return id >= 0 && id < monitorControlCount; }

} // namespace

void setEnabled(MonitorView& view, int id, bool enabled)
{
    if (!validId(id))
        return;
    MonitorControl& control = view.controls[id];
    if (control.enabled != enabled) {
        control.enabled = enabled;
        control.changed = true;
    }
}

void setMarked(MonitorView& view, int id, bool marked)
{
    if (!validId(id))
        return;
    MonitorControl& control = view.controls[id];
    if (control.marked != marked) {
        control.marked = marked;
        control.changed = true;
    }
}

void setPosition(MonitorView& view, int id, int position)
{
    if (!validId(id))
        return;
    MonitorControl& control = view.controls[id];
    if (control.position != position) {
        control.position = position;
        control.changed = true;
    }
}

void setText(MonitorView& view, int id, const char* text)
{
    if (!validId(id))
        return;
    MonitorControl& control = view.controls[id];
    std::snprintf(control.text, sizeof control.text, "%s", text);
    control.changed = true;
}

void setUnitLabels(MonitorView& view, const char* label)
{
    for (const char*& current : view.unitLabel) {
        if (current == nullptr || std::strcmp(current, label) != 0) {
            current = label;
            view.unitLabelsChanged = true;
        }
    }
}

void setProgress(MonitorView& view, int position)
{
    if (view.progress != position) {
        view.progress = position;
        view.progressChanged = true;
    }
}

void setTitle(MonitorView& view, const std::string& title)
{
    view.title = title;
    view.titleChanged = true;
}

void showMessage(MonitorView& view, const std::string& text, const char* caption)
{
    view.message = text;
    view.caption = caption;
    view.messagePending = true;
}

bool takeMessage(MonitorView& view, std::string& text, const char*& caption)
{
    if (!view.messagePending)
        return false;
    text = view.message;
    caption = view.caption;
    view.messagePending = false;
    return true;
}

void markViewChanged(MonitorView& view)
{
    for (MonitorControl& control : view.controls)
        control.changed = true;
    view.unitLabelsChanged = true;
    view.progressChanged = true;
    view.titleChanged = true;
}

void clearViewChanges(MonitorView& view)
{
    for (MonitorControl& control : view.controls)
        control.changed = false;
    view.unitLabelsChanged = false;
    view.progressChanged = false;
    view.titleChanged = false;
    view.messagePending = false;
}
