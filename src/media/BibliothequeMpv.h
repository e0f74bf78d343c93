#pragma once

// The libmpv functions the video player uses, looked up at run time with
// dlopen/dlsym: the program starts and runs without libmpv, and only the
// video preview reports that it cannot work.

#include <mpv/client.h>
#include <mpv/render.h>

#include <string>

class BibliothequeMpv
{
public:
    // The library of libmpv's client API 2.x.
    static constexpr char NomParDefaut[] = "libmpv.so.2";

    // Loads the named library once for the process and looks up every
    // function below; nullptr when the library is missing, lacks a function
    // or speaks another major version of the client API. A loaded library is
    // never unloaded: its threads and handlers may outlive any one player.
    static const BibliothequeMpv* Charger(const std::string& nom = NomParDefaut);

    decltype(&::mpv_client_api_version) client_api_version = nullptr;
    decltype(&::mpv_create) create = nullptr;
    decltype(&::mpv_initialize) initialize = nullptr;
    decltype(&::mpv_terminate_destroy) terminate_destroy = nullptr;
    decltype(&::mpv_set_option_string) set_option_string = nullptr;
    decltype(&::mpv_command_async) command_async = nullptr;
    decltype(&::mpv_set_property_async) set_property_async = nullptr;
    decltype(&::mpv_observe_property) observe_property = nullptr;
    decltype(&::mpv_wait_event) wait_event = nullptr;
    decltype(&::mpv_set_wakeup_callback) set_wakeup_callback = nullptr;
    decltype(&::mpv_render_context_create) render_context_create = nullptr;
    decltype(&::mpv_render_context_set_update_callback) render_context_set_update_callback = nullptr;
    decltype(&::mpv_render_context_update) render_context_update = nullptr;
    decltype(&::mpv_render_context_render) render_context_render = nullptr;
    decltype(&::mpv_render_context_free) render_context_free = nullptr;

private:
    BibliothequeMpv() = default;
    bool Resoudre(void* module);
};
