#pragma once
// Fait échouer les écritures de fichiers au-delà d'une taille, le temps d'un bloc : le système
// refuse alors d'écrire (EFBIG), même pour root, qui passe outre les droits des fichiers. Avec
// RLIMIT_NOFILE, c'est l'ouverture de tout fichier de plus qui échoue (EMFILE), comme une création
// sur un disque plein, quels que soient les droits.

#include <sys/resource.h>

class LimiteEcriture
{
public:
    explicit LimiteEcriture(rlim_t limite, int ressource = RLIMIT_FSIZE);
    ~LimiteEcriture();
    LimiteEcriture(const LimiteEcriture &) = delete;
    LimiteEcriture &operator=(const LimiteEcriture &) = delete;

private:
    int m_ressource;
    rlimit m_avant{};
    void (*m_gestionnaireAvant)(int) = nullptr;
};
