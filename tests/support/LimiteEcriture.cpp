#include "LimiteEcriture.h"

#include <csignal>
#include <stdexcept>

LimiteEcriture::LimiteEcriture(rlim_t limite, int ressource)
    : m_ressource(ressource)
{
    if (getrlimit(m_ressource, &m_avant) != 0)
        throw std::runtime_error("getrlimit impossible");
    // Sans cela, dépasser la limite tue le processus au lieu de faire échouer l'écriture.
    m_gestionnaireAvant = std::signal(SIGXFSZ, SIG_IGN);
    rlimit nouvelle = m_avant;
    nouvelle.rlim_cur = limite;
    if (setrlimit(m_ressource, &nouvelle) != 0)
        throw std::runtime_error("setrlimit impossible");
}

LimiteEcriture::~LimiteEcriture()
{
    setrlimit(m_ressource, &m_avant);
    std::signal(SIGXFSZ, m_gestionnaireAvant);
}
