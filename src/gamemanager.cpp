#include "gamemanager.h"

// Placeholder until the game manager lands.
bool IsParticleDead(const Particle& p) { return p.life <= 0; }
GameManager::GameManager() {}
GameManager::~GameManager() {}
void GameManager::cleanList(std::vector<GameObject*>&) {}
void GameManager::tick() {}
void GameManager::render() {}
GameObject* GameManager::findNearestCollidableExcept(Vect3d, GameObject*) { return nullptr; }
void GameManager::registerStarPos(GameObject*) {}
void GameManager::collideTest() {}
void GameManager::handleCollision(GameObject*, GameObject*) {}
void GameManager::resetGoals() {}
void GameManager::triggerSound(ResourceManager::SampleType, const Vect3d&) {}
void GameManager::tickParticles() {}
void GameManager::renderParticles() {}
void GameManager::createExplosion(GameObject*) {}
void GameManager::tickPointer() {}
void GameManager::renderPointer() {}
void GameManager::renderGoals() {}
void GameManager::showRadar(Vect3d, float, float, float) {}
