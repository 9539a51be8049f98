#pragma once
// La mémoire que le parseur demande pour lui-même (noms, déclarations du DTD, attributs d'une
// balise, sa copie du texte), comptée à chaque allocation. Il ne la demande qu'aux fonctions
// d'allocation qu'on lui donne à sa création, qui ne reçoivent pas de contexte : le compte en
// vigueur sur le fil est celui du dernier MemoireParseur créé, jusqu'à sa destruction. Une demande
// qui passerait le budget est refusée : le parseur s'arrête alors, faute de mémoire.

#include <QtGlobal>

#include <expat.h>

class MemoireParseur
{
public:
    explicit MemoireParseur(qint64 budget);
    ~MemoireParseur();
    MemoireParseur(const MemoireParseur &) = delete;
    MemoireParseur &operator=(const MemoireParseur &) = delete;

    // Les fonctions d'allocation à donner au parseur (XML_ParserCreate_MM).
    static const XML_Memory_Handling_Suite *fonctions();

    // Vrai dès qu'une demande a été refusée.
    bool depassee() const { return m_depassee; }

private:
    static void *allouer(std::size_t taille);
    static void *reallouer(void *donnees, std::size_t taille);
    static void liberer(void *donnees);
    bool accepter(std::size_t ajout);

    qint64 m_utilisee = 0;
    const qint64 m_budget;
    bool m_depassee = false;
    MemoireParseur *const m_avant; // le compte que celui-ci interrompt sur ce fil, s'il y en a un
};
