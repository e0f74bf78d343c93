#pragma once

// The outcome of an operation that can fail: its value, or the Erreur that
// says why there is none (std::expected is not in GCC 12). Ignoring one is
// a warning: every caller checks it. Resultat<void> holds only the error.

#include "shared/Erreur.h"

#include <optional>
#include <utility>
#include <variant>

template <typename T>
class [[nodiscard]] Resultat
{
public:
    Resultat(T valeur) : contenu_(std::in_place_index<0>, std::move(valeur)) {}
    Resultat(Erreur erreur) : contenu_(std::in_place_index<1>, std::move(erreur)) {}

    bool Reussi() const { return contenu_.index() == 0; }
    explicit operator bool() const { return Reussi(); }

    // Only on success (std::bad_variant_access otherwise: a fault of the caller).
    T& Valeur() & { return std::get<0>(contenu_); }
    const T& Valeur() const& { return std::get<0>(contenu_); }
    T&& Valeur() && { return std::get<0>(std::move(contenu_)); }
    // Only on failure (std::bad_variant_access otherwise).
    const Erreur& Echec() const { return std::get<1>(contenu_); }

private:
    std::variant<T, Erreur> contenu_;
};

template <>
class [[nodiscard]] Resultat<void>
{
public:
    Resultat() = default;
    Resultat(Erreur erreur) : erreur_(std::move(erreur)) {}

    bool Reussi() const { return !erreur_.has_value(); }
    explicit operator bool() const { return Reussi(); }

    // Only on failure (std::bad_optional_access otherwise: a fault of the caller).
    const Erreur& Echec() const { return erreur_.value(); }

private:
    std::optional<Erreur> erreur_;
};
