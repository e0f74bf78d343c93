#include "media/BibliothequeMpv.h"

#include <map>
#include <memory>
#include <mutex>

#include <dlfcn.h>

namespace {

template <typename Fonction>
bool Chercher(void* module, const char* nom, Fonction& fonction)
{
    fonction = reinterpret_cast<Fonction>(dlsym(module, nom));
    return fonction != nullptr;
}

} // namespace

const BibliothequeMpv* BibliothequeMpv::Charger(const std::string& nom)
{
    // One table per library name; failures are not remembered, so a library
    // installed while the program runs is picked up at the next start.
    static std::mutex verrou;
    static std::map<std::string, std::unique_ptr<BibliothequeMpv>> chargees;
    std::lock_guard garde(verrou);
    if (const auto trouvee = chargees.find(nom); trouvee != chargees.end())
        return trouvee->second.get();

    void* module = dlopen(nom.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return nullptr;
    std::unique_ptr<BibliothequeMpv> bibliotheque(new BibliothequeMpv);
    if (!bibliotheque->Resoudre(module)) {
        dlclose(module);
        return nullptr;
    }
    return chargees.emplace(nom, std::move(bibliotheque)).first->second.get();
}

bool BibliothequeMpv::Resoudre(void* module)
{
    const bool complete =
        Chercher(module, "mpv_client_api_version", client_api_version) && Chercher(module, "mpv_create", create) &&
        Chercher(module, "mpv_initialize", initialize) &&
        Chercher(module, "mpv_terminate_destroy", terminate_destroy) &&
        Chercher(module, "mpv_set_option_string", set_option_string) &&
        Chercher(module, "mpv_command_async", command_async) &&
        Chercher(module, "mpv_set_property_async", set_property_async) &&
        Chercher(module, "mpv_observe_property", observe_property) && Chercher(module, "mpv_wait_event", wait_event) &&
        Chercher(module, "mpv_set_wakeup_callback", set_wakeup_callback) &&
        Chercher(module, "mpv_render_context_create", render_context_create) &&
        Chercher(module, "mpv_render_context_set_update_callback", render_context_set_update_callback) &&
        Chercher(module, "mpv_render_context_update", render_context_update) &&
        Chercher(module, "mpv_render_context_render", render_context_render) &&
        Chercher(module, "mpv_render_context_free", render_context_free);
    // Structures and event layouts are stable within a major version only.
    return complete && (client_api_version() >> 16) == (MPV_CLIENT_API_VERSION >> 16);
}
