#pragma once

#include <stdexcept>

// A second display component on the same owner.
class ETrazorComponentExists : public std::runtime_error {
  public:
    ETrazorComponentExists() : std::runtime_error("TTrazor-Komponente ist bereits vorhanden") {}
};
