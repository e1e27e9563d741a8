#include "calculation/zelvproCalculatorCollaborator.h"

zelvproCalculatorCollaborator::zelvproCalculatorCollaborator(zelvproCalculatorFil* lines) : lines_(lines) {
  SubscribeByNames("ShowTagDialog");
}

void zelvproCalculatorCollaborator::ReceiveMessage(ppCollaborator*, int32_t, int32_t, intptr_t) {}
