// SPDX-License-Identifier: GPL-3.0-or-later
// What the X server and the window manager say about our windows: their frames, the stacking order, the
// actions the window manager allows.
#pragma once

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

inline xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

inline xcb_window_t X11Root() {
    return xcb_setup_roots_iterator(xcb_get_setup(X11Connection())).data->root;
}

// The window manager's frame around a top-level window: its ancestor that is a child of the root.
inline xcb_window_t FrameOf(const QWidget& window) {
    xcb_connection_t* c = X11Connection();
    xcb_window_t at = xcb_window_t(window.winId()), root = X11Root();
    for (int depth = 0; depth < 8; ++depth) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, at), nullptr);
        if (!tree)
            return 0;
        xcb_window_t parent = tree->parent;
        std::free(tree);
        if (parent == root || parent == 0)
            return at;
        at = parent;
    }
    return 0;
}

// Where the window stands among the root's children, bottom first; -1 when it is not found.
inline int StackingIndex(const QWidget& window) {
    xcb_connection_t* c = X11Connection();
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, X11Root()), nullptr);
    if (!tree)
        return -1;
    xcb_window_t* children = xcb_query_tree_children(tree);
    int count = xcb_query_tree_children_length(tree);
    xcb_window_t frame = FrameOf(window);
    int index = int(std::find(children, children + count, frame) - children);
    std::free(tree);
    return index < count ? index : -1;
}

inline xcb_atom_t X11Atom(const char* name) {
    xcb_connection_t* c = X11Connection();
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    xcb_atom_t atom = reply ? reply->atom : 0;
    std::free(reply);
    return atom;
}

// The names in _NET_WM_ALLOWED_ACTIONS, which the window manager keeps on each window it manages.
inline std::vector<std::string> AllowedActions(const QWidget& window) {
    xcb_connection_t* c = X11Connection();
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, xcb_window_t(window.winId()), X11Atom("_NET_WM_ALLOWED_ACTIONS"),
                         XCB_ATOM_ATOM, 0, 64),
        nullptr);
    std::vector<std::string> names;
    if (!reply)
        return names;
    auto* atoms = static_cast<xcb_atom_t*>(xcb_get_property_value(reply));
    int count = xcb_get_property_value_length(reply) / 4;
    for (int i = 0; i < count; ++i) {
        xcb_get_atom_name_reply_t* name =
            xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atoms[i]), nullptr);
        if (name)
            names.emplace_back(xcb_get_atom_name_name(name), size_t(xcb_get_atom_name_name_length(name)));
        std::free(name);
    }
    std::free(reply);
    return names;
}

inline bool MayMaximise(const QWidget& window) {
    auto actions = AllowedActions(window);
    return std::find(actions.begin(), actions.end(), "_NET_WM_ACTION_MAXIMIZE_HORZ") != actions.end() ||
           std::find(actions.begin(), actions.end(), "_NET_WM_ACTION_MAXIMIZE_VERT") != actions.end();
}

// Whether the window manager is asked for a maximise button: by the Motif hints, which say which parts of
// the title bar to draw (none set: all of them).
inline bool AsksForMaximiseButton(const QWidget& window) {
    xcb_connection_t* c = X11Connection();
    xcb_atom_t hints = X11Atom("_MOTIF_WM_HINTS");
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, xcb_window_t(window.winId()), hints, hints, 0, 5), nullptr);
    if (!reply)
        return true;
    bool maximise = true;
    if (xcb_get_property_value_length(reply) >= 12) {
        auto* fields = static_cast<uint32_t*>(xcb_get_property_value(reply));
        constexpr uint32_t kDecorationsGiven = 1u << 1, kAll = 1u << 0, kMaximise = 1u << 6;
        if (fields[0] & kDecorationsGiven)
            maximise = (fields[2] & kAll) ? !(fields[2] & kMaximise) : (fields[2] & kMaximise) != 0;
    }
    std::free(reply);
    return maximise;
}
