graph [
  node [
    id 0
    label "P1"
  ]
  node [
    id 1
    label "Q2"
  ]
  node [
    id 2
    label "R3"
  ]
  node [
    id 3
    label "T5"
  ]
  node [
    id 4
    label "S4"
  ]
  edge [
    source 0
    target 1
    weight 0.62
  ]
  edge [
    source 0
    target 2
    weight -0.31
  ]
  edge [
    source 0
    target 3
    weight 0.4
  ]
  edge [
    source 1
    target 2
    weight 0.18
  ]
  edge [
    source 1
    target 4
    weight -0.77
  ]
  edge [
    source 1
    target 3
    weight 0.2
  ]
  edge [
    source 2
    target 4
    weight 0.5
  ]
  edge [
    source 3
    target 4
    weight 0.33
  ]
]
