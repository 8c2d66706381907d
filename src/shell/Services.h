// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows are handed at creation: the settings, the prompter, the documents.
#pragma once

class DocumentManager;
class Prompter;
class Registry;
class SettingsStore;
class TEditorWindows;

struct TServices {
    Registry& registry;
    SettingsStore& settings;
    Prompter& prompter;
    DocumentManager& documents;
    TEditorWindows* editors = nullptr;
};
