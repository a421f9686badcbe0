#include "PathTranslator.h"

PathTranslator::PathTranslator(std::filesystem::path baseDirectory, ListingCache *listings,
                               std::string shownBase)
    : m_baseDirectory(std::move(baseDirectory)), m_listings(listings),
      m_shownBase(std::move(shownBase))
{}
