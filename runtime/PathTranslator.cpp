#include "PathTranslator.h"

PathTranslator::PathTranslator(std::filesystem::path baseDirectory)
    : m_baseDirectory(std::move(baseDirectory))
{}
