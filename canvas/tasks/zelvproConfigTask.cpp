#include "canvas/tasks/zelvproConfigTask.h"

zelvproConfigTask::zelvproConfigTask(qxViewHolder* holders, zelvproCanvas* canvas, ppRegion* region)
    : zelvproWallTask(holders, canvas, region, true) {}

zelvproConfigTask::~zelvproConfigTask() = default;
