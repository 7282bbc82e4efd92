Creator "igraph version 0.10.2 Wed Dec  9 05:28:44 2026"
Version 1
graph
[
  directed 0
  node
  [
    id 0
    name "P1"
  ]
  node
  [
    id 1
    name "Q2"
  ]
  node
  [
    id 2
    name "R3"
  ]
  node
  [
    id 3
    name "T5"
  ]
  node
  [
    id 4
    name "S4"
  ]
  edge
  [
    source 1
    target 0
    weight 0.62
  ]
  edge
  [
    source 2
    target 0
    weight -0.31
  ]
  edge
  [
    source 3
    target 0
    weight 0.4
  ]
  edge
  [
    source 2
    target 1
    weight 0.18
  ]
  edge
  [
    source 4
    target 1
    weight -0.77
  ]
  edge
  [
    source 3
    target 1
    weight 0.2
  ]
  edge
  [
    source 4
    target 2
    weight 0.5
  ]
  edge
  [
    source 4
    target 3
    weight 0.33
  ]
]
