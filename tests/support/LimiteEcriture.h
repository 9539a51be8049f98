#pragma once
// Fait échouer les écritures de fichiers au-delà d'une taille, le temps d'un bloc : le système
// refuse alors d'écrire (EFBIG), même pour root, qui passe outre les droits des fichiers.

#include <sys/resource.h>

class LimiteEcriture
{
public:
    explicit LimiteEcriture(rlim_t octets);
    ~LimiteEcriture();
    LimiteEcriture(const LimiteEcriture &) = delete;
    LimiteEcriture &operator=(const LimiteEcriture &) = delete;

private:
    rlimit m_avant{};
    void (*m_gestionnaireAvant)(int) = nullptr;
};
