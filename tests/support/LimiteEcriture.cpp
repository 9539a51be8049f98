#include "LimiteEcriture.h"

#include <csignal>
#include <stdexcept>

LimiteEcriture::LimiteEcriture(rlim_t octets)
{
    if (getrlimit(RLIMIT_FSIZE, &m_avant) != 0)
        throw std::runtime_error("getrlimit impossible");
    // Sans cela, dépasser la limite tue le processus au lieu de faire échouer l'écriture.
    m_gestionnaireAvant = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite = m_avant;
    limite.rlim_cur = octets;
    if (setrlimit(RLIMIT_FSIZE, &limite) != 0)
        throw std::runtime_error("setrlimit impossible");
}

LimiteEcriture::~LimiteEcriture()
{
    setrlimit(RLIMIT_FSIZE, &m_avant);
    std::signal(SIGXFSZ, m_gestionnaireAvant);
}
