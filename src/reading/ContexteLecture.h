#pragma once
// Ce que les lecteurs de flux savent du document qu'ils lisent : comment reconnaître ses
// éléments, l'adresse d'où il a été téléchargé (la base de ses adresses relatives ; aucune pour
// un fichier local, dont les adresses restent telles qu'écrites) et le budget de l'analyse du
// HTML de ses descriptions.

#include "reading/FragmentHtml.h"
#include "reading/NomsElements.h"

#include <QString>
#include <optional>

struct ContexteLecture
{
    NomsElements noms;
    std::optional<QString> adresseSource;
    BudgetHtml budgetHtml;
};
