#include "reading/MemoireParseur.h"

#include <cstddef>
#include <cstdlib>
#include <utility>

namespace {

thread_local MemoireParseur *compteCourant = nullptr;

// Chaque bloc porte sa taille devant lui, pour la rendre au compte à sa libération.
struct EnteteBloc
{
    alignas(std::max_align_t) std::size_t taille;
};

} // namespace

MemoireParseur::MemoireParseur(qint64 budget) : m_budget(budget), m_avant(std::exchange(compteCourant, this)) {}

MemoireParseur::~MemoireParseur() { compteCourant = m_avant; }

const XML_Memory_Handling_Suite *MemoireParseur::fonctions()
{
    static const XML_Memory_Handling_Suite suite{&MemoireParseur::allouer, &MemoireParseur::reallouer,
                                                 &MemoireParseur::liberer};
    return &suite;
}

bool MemoireParseur::accepter(std::size_t ajout)
{
    if (m_utilisee + qint64(ajout) > m_budget) {
        m_depassee = true;
        return false;
    }
    return true;
}

void *MemoireParseur::allouer(std::size_t taille)
{
    if (compteCourant && !compteCourant->accepter(taille))
        return nullptr;
    auto *bloc = static_cast<EnteteBloc *>(std::malloc(sizeof(EnteteBloc) + taille));
    if (!bloc)
        return nullptr;
    bloc->taille = taille;
    if (compteCourant)
        compteCourant->m_utilisee += qint64(taille);
    return bloc + 1;
}

void *MemoireParseur::reallouer(void *donnees, std::size_t taille)
{
    if (!donnees)
        return allouer(taille);
    EnteteBloc *bloc = static_cast<EnteteBloc *>(donnees) - 1;
    const std::size_t avant = bloc->taille;
    if (compteCourant && taille > avant && !compteCourant->accepter(taille - avant))
        return nullptr;
    auto *nouveau = static_cast<EnteteBloc *>(std::realloc(bloc, sizeof(EnteteBloc) + taille));
    if (!nouveau)
        return nullptr;
    nouveau->taille = taille;
    if (compteCourant)
        compteCourant->m_utilisee += qint64(taille) - qint64(avant);
    return nouveau + 1;
}

void MemoireParseur::liberer(void *donnees)
{
    if (!donnees)
        return;
    EnteteBloc *bloc = static_cast<EnteteBloc *>(donnees) - 1;
    if (compteCourant)
        compteCourant->m_utilisee -= qint64(bloc->taille);
    std::free(bloc);
}
