#include "PathTranslator.h"

PathTranslator::PathTranslator(std::filesystem::path baseDirectory, ListingCache *listings)
    : m_baseDirectory(std::move(baseDirectory)), m_listings(listings)
{}
